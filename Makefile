# The two entry points of the README. Everything else is plain CMake presets.
JOBS ?= $(shell nproc)
BIN := build/default/bin

.PHONY: run test build deps test-default test-asan test-tsan bench clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

run: build
	$(BIN)/orx700-demo

test: deps test-default test-asan test-tsan

test-default:
	cmake --preset default
	cmake --build --preset default -j $(JOBS)
	ctest --preset default -j $(JOBS)

test-asan:
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

test-tsan:
	cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

bench: build
	$(BIN)/orx700-bench

clean:
	rm -rf build
