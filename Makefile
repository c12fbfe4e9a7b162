# SPDX-FileCopyrightText: 2026 The drivelab authors
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Thin wrapper over the CMake presets; see README.md.
.PHONY: setup run test asan-test soak bench package clean

JOBS ?= $(shell nproc)

# What each target needs, installed when missing (see scripts/setup).
setup:
	@bash scripts/setup test

# The program alone: the tests and benchmarks are not built for it (the release preset
# turns them back on for the targets below).
run:
	@bash scripts/setup run
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

# The Debian packages, built from a copy of the source tree by dpkg-buildpackage, with the
# source package beside them: build/package/drivelab_<version>_<arch>.deb and
# drivelab_<version>.dsc. The working tree itself is left as it was.
PACKAGE_DIR := build/package
package:
	@bash scripts/setup package
	rm -rf $(PACKAGE_DIR)
	mkdir -p $(PACKAGE_DIR)/drivelab
	tar -c --exclude=./build --exclude=./.git --exclude='./compile_commands.json' . | tar -x -C $(PACKAGE_DIR)/drivelab
	cd $(PACKAGE_DIR) && dpkg-source -b drivelab
	cd $(PACKAGE_DIR)/drivelab && dpkg-buildpackage -us -uc -b -j$(JOBS)

clean:
	rm -rf build
