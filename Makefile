# The two commands: `make` builds everything into build/ and dist/;
# `make test` builds and runs every suite.  Both first install, as root,
# whatever this Debian 12 machine lacks.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

NATIVE := build/native
SANITIZE := build/sanitize
WINDOWS := build/windows
BENCH := build/bench

.PHONY: all deps native sanitize windows dist test test-native test-sanitize test-windows test-web bench clean

all: deps native windows dist

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

test: test-native test-sanitize test-windows test-web

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure

test-sanitize: sanitize
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE) --output-on-failure

test-windows: windows
	scripts/run-windows-tests.sh $(WINDOWS)

test-web: deps
	tests/web/run.sh build/web

bench: deps
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DVMO_BENCH=ON -DVMO_TESTS=OFF
	cmake --build $(BENCH) -j $(JOBS)
	$(BENCH)/bench/engine_bench
	# The editor's figures: the Windows build under Wine, with the WebView2 test double.
	cmake -S . -B $(BENCH)-windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DVMO_BENCH=ON
	cmake --build $(BENCH)-windows -j $(JOBS) --target editor_bench
	scripts/run-windows-tests.sh $(BENCH)-windows -R '^editor_bench$$' --verbose

clean:
	rm -rf build dist
