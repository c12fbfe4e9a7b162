# Thin wrapper over the CMake presets; see README.md.
.PHONY: setup run test asan-test soak bench clean

JOBS ?= $(shell nproc)

setup:
	@bash scripts/setup

run: setup
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	./build/release/app/drivelab

# The soak run takes minutes: it has its own target.
test: setup
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	ctest --preset release -j $(JOBS) -LE soak

asan-test: setup
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS) -LE soak

soak: setup
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	ctest --preset release -L soak --verbose

bench: setup
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	@for b in build/release/bench/bench_*; do \
	  echo "== $$b"; \
	  "$$b" --benchmark_repetitions=15 --benchmark_report_aggregates_only=true || exit 1; \
	done

clean:
	rm -rf build
