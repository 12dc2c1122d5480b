# The two commands: `make` builds everything into build/ and dist/;
# `make test` builds and runs every suite.  Both first install, as root,
# whatever this Debian 12 machine lacks.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
FUZZ_TEST_SECONDS ?= 5

NATIVE := build/native
SANITIZE := build/sanitize
WINDOWS := build/windows
BENCH := build/bench
TSAN := build/tsan
FUZZ := build/fuzz

.PHONY: all deps native sanitize windows dist demo test test-native test-sanitize test-tsan test-windows test-web bench fuzz fuzz-build test-fuzz clean

all: deps native windows dist demo

deps:
	@scripts/install-deps.sh

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(NATIVE) -j $(JOBS)

sanitize: deps
	cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVMO_SANITIZE=ON
	cmake --build $(SANITIZE) -j $(JOBS)

windows: deps
	cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
	cmake --build $(WINDOWS) -j $(JOBS)

# Each build tree assembles its bundles under bundles/; dist/ gathers them:
# the Windows bundles at its top, the native Linux ones under dist/linux/.
dist: native windows
	@rm -rf dist && mkdir -p dist/linux
	@if [ -d $(WINDOWS)/bundles ]; then cp -R $(WINDOWS)/bundles/. dist/; fi
	@if [ -d $(NATIVE)/bundles ]; then cp -R $(NATIVE)/bundles/. dist/linux/; fi

test: test-native test-sanitize test-tsan test-windows test-web test-fuzz

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure

test-sanitize: sanitize
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE) --output-on-failure

# The lock hand-over between audio and state threads, under the thread sanitizer.
test-tsan: deps
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVMO_TSAN=ON
	cmake --build $(TSAN) -j $(JOBS) --target lv2_lock_stress_tests
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir $(TSAN) --output-on-failure -R lv2_lock_stress

test-windows: windows
	scripts/run-windows-tests.sh $(WINDOWS)

demo: dist
	scripts/render-demo.sh $(NATIVE) dist

test-web: deps
	tests/web/run.sh build/web

bench: deps
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DVMO_BENCH=ON -DVMO_TESTS=OFF
	cmake --build $(BENCH) -j $(JOBS)
	$(BENCH)/bench/engine_bench
	$(BENCH)/bench/state_bench
	$(BENCH)/bench/lv2_bench
	# The editor's figures: the Windows build under Wine, with the WebView2 test double.
	cmake -S . -B $(BENCH)-windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DVMO_BENCH=ON
	cmake --build $(BENCH)-windows -j $(JOBS) --target editor_bench
	scripts/run-windows-tests.sh $(BENCH)-windows -R '^editor_bench$$' --verbose

# The state parsers under libFuzzer (clang, address and undefined-behaviour
# sanitizers): `make fuzz` runs each target FUZZ_SECONDS, `make test` runs
# each FUZZ_TEST_SECONDS.  Seeds are written afresh by our own save; what a
# run discovers stays in $(FUZZ)/corpus, a crashing input in $(FUZZ)/artifacts.
fuzz-build: deps
	cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVMO_FUZZ=ON -DVMO_TESTS=OFF
	cmake --build $(FUZZ) -j $(JOBS) --target state_fuzz_seeds kv_map_from_tar_fuzz kv_map_from_records_fuzz plugin_state_restore_fuzz
	$(FUZZ)/tests/state/fuzz/state_fuzz_seeds $(FUZZ)/seeds

# $(1): seconds per target.  Each target's log is shown whole when it fails.
define run_fuzzers
	@mkdir -p $(FUZZ)/artifacts
	@set -e; for pair in kv_map_from_tar:tar kv_map_from_records:records plugin_state_restore:restore; do \
	  target=$${pair%%:*}; seeds=$${pair#*:}; log=$(FUZZ)/$$target.log; \
	  mkdir -p $(FUZZ)/corpus/$$target; \
	  if ! $(FUZZ)/tests/state/fuzz/$${target}_fuzz -max_total_time=$(1) -max_len=16384 -print_final_stats=1 \
	      -artifact_prefix=$(FUZZ)/artifacts/$$target- $(FUZZ)/corpus/$$target $(FUZZ)/seeds/$$seeds >$$log 2>&1; then \
	    cat $$log; echo "fuzz: $$target failed"; exit 1; \
	  fi; \
	  echo "fuzz: $$target: $$(grep -m1 '^Done' $$log)"; \
	done
endef

fuzz: fuzz-build
	$(call run_fuzzers,$(FUZZ_SECONDS))

test-fuzz: fuzz-build
	$(call run_fuzzers,$(FUZZ_TEST_SECONDS))

clean:
	rm -rf build dist
