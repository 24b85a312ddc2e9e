# Two entry points: `make run` and `make test` do every set-up step themselves.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
CTEST_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test deb install screenshots bench fuzz asan windows windows-test clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./scripts/run-program $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) $(CTEST_FLAGS)

# corvane_<version>_<arch>.deb in this folder, from a build installed under /usr and stripped
deb: build
	rm -rf $(BUILD_DIR)/package
	cpack --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package
	rm -f corvane_*.deb
	cp $(BUILD_DIR)/package/corvane_*.deb .

# into /usr/local (PREFIX=... for another place), programs stripped; build first as yourself, then
# install as root, so that the build folder stays yours
PREFIX ?= /usr/local
install:
	@test -f $(BUILD_DIR)/build.ninja || { echo "Nothing is built: run 'make build' first." >&2; exit 1; }
	cmake --install $(BUILD_DIR) --strip --prefix $(PREFIX)

# only the picture tool and what it links, not the whole build
screenshots: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target corvane-screenshots
	./scripts/screenshots $(BUILD_DIR)

bench: build
	./bench/run-bench $(BUILD_DIR)

fuzz: deps
	./scripts/fuzz $(or $(FUZZ_SECONDS),600)

# the whole unit test suite under AddressSanitizer and UndefinedBehaviorSanitizer; the responsiveness
# test measures milliseconds, which the sanitizers' slowdown makes meaningless, so it runs only above
asan:
	$(MAKE) test BUILD_DIR=build-asan BUILD_TYPE=Debug CMAKE_FLAGS="-DCORVANE_SANITIZE=ON $(CMAKE_FLAGS)" \
		CTEST_FLAGS="-E test_responsiveness"

# corvane-cli.exe and the core's tests cross-built for 64-bit Windows with MinGW-w64, libzip built from
# Debian's source with Windows' own cryptography; the program and its DLLs end up in
# $(WINDOWS_BUILD_DIR)/cross/bin
WINDOWS_BUILD_DIR ?= build-windows
windows:
	./scripts/install-windows-deps
	./scripts/build-windows-deps $(WINDOWS_BUILD_DIR) $(JOBS)
	cmake -S . -B $(WINDOWS_BUILD_DIR)/cross -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DCORVANE_DEPS_PREFIX=$(abspath $(WINDOWS_BUILD_DIR))/deps/prefix $(CMAKE_FLAGS)
	cmake --build $(WINDOWS_BUILD_DIR)/cross -j $(JOBS)

# the core's tests and the command line's round trips under Wine, the latter compared with the Linux
# build's corvane-cli (only that program is built here)
windows-test: windows configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target corvane-cli
	set -- $(WINDOWS_BUILD_DIR)/cross && . ./scripts/windows-env && \
		ctest --test-dir $(WINDOWS_BUILD_DIR)/cross --output-on-failure --timeout 900
	./scripts/windows-round-trips $(WINDOWS_BUILD_DIR)/cross $(BUILD_DIR)/bin/corvane-cli

clean:
	rm -rf $(BUILD_DIR) build-asan $(WINDOWS_BUILD_DIR) corvane_*.deb
