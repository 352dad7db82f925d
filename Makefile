# The two commands a new user needs: `make run` and `make test`. Both install missing system
# packages first (scripts/install-deps), then configure and build into build/.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run clean test-asan test-tsan bench fuzz check-odr install \
        package

all: build

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Starts the program with every emulated device plugged in.
run: build
	@$(BUILD_DIR)/bin/varkon --simulate all

# Installs the programs, the program folder, the desktop entry, metainfo, icons, man pages and
# the udev rule under PREFIX (and DESTDIR, for staging).
PREFIX ?= /usr/local
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package (installing under /usr), in $(BUILD_DIR)/package/.
package: build
	@cpack --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package

# Sanitizer builds, each in its own folder.
test-asan:
	@$(MAKE) --no-print-directory test BUILD_DIR=build-asan CMAKE_FLAGS=-DVARKON_SANITIZE=address,undefined
test-tsan:
	@$(MAKE) --no-print-directory test BUILD_DIR=build-tsan CMAKE_FLAGS=-DVARKON_SANITIZE=thread

# Links everything with link-time optimisation so that two different definitions of one name
# (a type, an inline function) fail the build.
check-odr:
	@$(MAKE) --no-print-directory build BUILD_DIR=build-odr CMAKE_FLAGS=-DVARKON_ODR_CHECK=ON

# Explores each fuzz target for FUZZ_SECONDS (per target) with random seeds.
FUZZ_SECONDS ?= 180
fuzz: build
	@bash scripts/run-fuzz $(BUILD_DIR) $(FUZZ_SECONDS)

bench:
	@$(MAKE) --no-print-directory build BUILD_DIR=build-bench BUILD_TYPE=Release CMAKE_FLAGS=-DVARKON_BENCH=ON
	@build-bench/bin/varkon-bench

clean:
	rm -rf $(BUILD_DIR)
