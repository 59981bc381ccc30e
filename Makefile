# SPDX-License-Identifier: GPL-3.0-or-later
# Convenience wrappers around CMake. `make test` is what CI runs.
BUILD ?= build
ASAN_BUILD ?= build-asan
PACKAGE_BUILD ?= build-package
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all build deps test test-asan bench bench-build run format clean fuzz fuzz-run ci package

all: build

deps:
	scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Address and undefined-behaviour sanitizers over the whole test suite.
test-asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DWAYPLOT2_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The benchmarks are built apart from the program; CI builds them too, so
# they keep up with the code they measure.
bench-build: build
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)

bench: deps bench-build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done; true

# The dashboard replaying the bundled drive.
run: deps build
	$(BUILD)/src/app/wayplot2 --emulate

# The Debian package, wayplot2_VERSION_ARCH.deb in $(PACKAGE_BUILD)/: built the
# way Debian builds its packages (its compiler and hardening flags, build type
# None, installed under /usr), without the tests and benchmarks.
package: deps
	DEB_BUILD_MAINT_OPTIONS=hardening=+all; export DEB_BUILD_MAINT_OPTIONS; \
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
	    -DWAYPLOT2_TESTS=OFF -DWAYPLOT2_BENCH=OFF \
	    -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	    -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB
	@ls $(PACKAGE_BUILD)/wayplot2_*.deb

format:
	find src tests bench resources -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD)

# libFuzzer build (clang, sanitizers, no GUI). Run a target with e.g.
#   build-fuzz/tests/fuzz/nmea_sentence_fuzz -max_total_time=300
fuzz:
	CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DWAYPLOT2_FUZZ=ON -DWAYPLOT2_SANITIZE=ON -DWAYPLOT2_GUI=OFF -DWAYPLOT2_BENCH=OFF
	cmake --build build-fuzz --target fuzzers -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS, each started from the sample files of
# its kind; a crash, leak or sanitizer report fails the run.
FUZZ_SECONDS ?= 60
fuzz-run: fuzz
	scripts/run-fuzzers build-fuzz/tests/fuzz $(FUZZ_SECONDS)

# What CI runs after installing the dependencies: the tests, the benchmarks'
# build, the same tests under the sanitizers, and a short run of every fuzz
# target.
ci: test bench-build test-asan fuzz-run
