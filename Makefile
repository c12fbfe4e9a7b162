# Thin wrapper over the CMake presets; see README.md.
.PHONY: setup run test asan-test soak bench package clean

JOBS ?= $(shell nproc)

setup:
	@bash scripts/setup

# The program alone: the tests and benchmarks are not built for it (the release preset
# turns them back on for the targets below).
run: setup
	cmake --preset release -DDRIVELAB_BUILD_TESTS=OFF
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
	cmake --build --preset release -j $(JOBS) --target all benchmarks
	@for b in build/release/bench/bench_*; do \
	  echo "== $$b"; \
	  "$$b" --benchmark_repetitions=15 --benchmark_report_aggregates_only=true || exit 1; \
	done

# The Debian package build/release/drivelab_<version>_<arch>.deb, of the program alone.
package: setup
	cmake --preset release -DDRIVELAB_BUILD_TESTS=OFF
	cmake --build --preset release -j $(JOBS)
	cpack --preset release

clean:
	rm -rf build
