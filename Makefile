# The two commands that do everything on a fresh Debian 12 machine:
#   make test   install what is missing, configure, build, run every test
#   make run    install, build, run the program against the local cloud
BUILD ?= build
JOBS ?= 2
TYPE ?= RelWithDebInfo
# Libraries whose tests also run under the sanitizers.
SDK_LABELS := net_engine|plat_client|relay_port|data_hub|handset_sdk|fleet_link|mosaic_sdk|cloudsim|media|fuzz
TSAN_LABELS := net_engine|plat_client|relay_port|data_hub|handset_sdk|fleet_link|mosaic_sdk
# Sanitizer builds leave the Qt program out.
SDK_FOLDERS := base;common;platform;net_engine;plat_client;relay_port;data_hub;media;handset_sdk;fleet_link;mosaic_sdk;swplay_u;tools/cloudsim;tests/peers;tests;bench;fuzz
# The fuzz build: the parsers' libraries, the desktop client and the fuzz targets.
FUZZ_FOLDERS := base;common;platform;net_engine;plat_client;relay_port;data_hub;media;fleet_link;app;fuzz
# Seconds each fuzz target runs in `make fuzz`; FUZZ_TARGETS picks some (names as in fuzz/corpus/).
FUZZ_SECONDS ?= 300
FUZZ_TARGETS ?=

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build test run bench asan tsan fuzz soak screenshot device-screenshot clean

deps:
	@$(SUDO) bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE) > $(BUILD).configure.log 2>&1 || \
	  { cat $(BUILD).configure.log; exit 1; }

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

run: build
	bash scripts/run.sh $(BUILD)

screenshot: build
	bash scripts/run.sh $(BUILD) --screenshot

# PNGs of a playing device window and of the key-mapping editor.
device-screenshot: build
	sh app/scripts/device_screenshot.sh $(BUILD)

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSIVO_ONLY="$(SDK_FOLDERS)" > build-bench.configure.log
	cmake --build build-bench -j$(JOBS) --target bench_all
	bash scripts/bench.sh build-bench

asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSIVO_SANITIZE=address -DTESSIVO_ONLY="$(SDK_FOLDERS)" > build-asan.configure.log
	cmake --build build-asan -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j$(JOBS) -L '$(SDK_LABELS)'

# ThreadSanitizer needs address randomisation limited on this kernel.
tsan: deps
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSIVO_SANITIZE=thread -DTESSIVO_ONLY="$(SDK_FOLDERS)" > build-tsan.configure.log
	cmake --build build-tsan -j$(JOBS)
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" setarch -R ctest --test-dir build-tsan --output-on-failure -j$(JOBS) -L '$(TSAN_LABELS)'

# libFuzzer with AddressSanitizer and UBSan (clang): builds every fuzz target
# and runs each for FUZZ_SECONDS (e.g. `make fuzz FUZZ_SECONDS=60`).
fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DTESSIVO_SANITIZE=fuzzer -DTESSIVO_ONLY="$(FUZZ_FOLDERS)" > build-fuzz.configure.log
	cmake --build build-fuzz -j$(JOBS) --target fuzz_all
	bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Reconnect soak (not part of `make test`): SOAK_DROPS=10 for a short run;
# SANITIZE=address builds and runs it under AddressSanitizer in build-asan-soak/.
SOAK_DROPS ?= 100
SOAK_BUILD := $(if $(filter address,$(SANITIZE)),build-asan-soak,$(BUILD))
SOAK_TYPE := $(if $(filter address,$(SANITIZE)),Debug,$(TYPE))
SOAK_ENV := SOAK_DROPS=$(SOAK_DROPS) $(if $(filter address,$(SANITIZE)),ASAN_OPTIONS=detect_leaks=1:abort_on_error=1,)
soak: deps
	cmake -S . -B $(SOAK_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(SOAK_TYPE) \
	  $(if $(filter address,$(SANITIZE)),-DTESSIVO_SANITIZE=address -DTESSIVO_ONLY="$(SDK_FOLDERS);soak") \
	  > $(SOAK_BUILD).configure.log
	cmake --build $(SOAK_BUILD) -j$(JOBS) --target reconnect_soak
	$(SOAK_ENV) $(SOAK_BUILD)/bin/reconnect_soak

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz build-asan-soak *.configure.log
