# The two commands a newcomer needs:
#   make run   install what is missing, build, start Tolvane on this desktop
#              (or on a private desktop when there is no display)
#   make test  the same set-up, then the whole test suite on a private X server
#              and D-Bus session bus
# Also: make fuzz (the rules-file decoder, about a minute), make bench,
#       make test-asan (the suite under AddressSanitizer and UBSan),
#       make package (build/tolvane_<version>_amd64.deb, checked by scripts/check-package).

.PHONY: all deps build run test test-default test-asan test-tsan fuzz bench package format clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	scripts/run-tolvane build/src/tolvane

# CI (CI=true) also checks the format and that every header compiles on its
# own, builds with warnings as errors, and runs the fuzzer and the sanitizer
# build first; the last line printed is always the summary of the default suite.
test: build
ifeq ($(CI),true)
	scripts/check-format
	scripts/check-layers
	cmake --build --preset default --target check_headers
	$(MAKE) --no-print-directory fuzz
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory package
endif
	$(MAKE) --no-print-directory test-default

test-default:
	scripts/with-desktop ctest --preset default

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 scripts/with-desktop ctest --preset asan

test-tsan: deps
	cmake --preset tsan -DTOLVANE_TELEMETRY_ONLY=ON
	cmake --build --preset tsan
	ctest --preset tsan

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/run-fuzzer build-fuzz/fuzz/rules_decoder_fuzzer fuzz/corpus/rules 60

# A Debian package of the default build, installed under /usr; then the checks CI runs on it.
package: build
	cd build && cpack -G DEB
	scripts/check-package build/tolvane_$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)_$$(dpkg --print-architecture).deb

bench: build
	scripts/with-desktop scripts/run-benchmarks build

# Rewrites the C++ files to follow .clang-format.
format:
	scripts/check-format --fix

clean:
	rm -rf build build-asan build-tsan build-fuzz
