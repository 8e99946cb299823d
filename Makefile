# Thin wrapper over CMake: `make` builds both programs (Release), `make run`
# starts the engine, `make test` builds and runs the whole suite.
BUILD      ?= build
ASAN_BUILD ?= build-asan
NATIVE_BUILD ?= build-native
PGO_BUILD  ?= build-pgo
# Instruction set of the profile-guided build (`make pgo ARCH=native` for both).
ARCH       ?= x86-64-v2
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
FUZZ_SECONDS ?= 30
FUZZ_RUNS ?= 0
JOBS       ?= $(shell nproc)
# Where `make install` puts the programs (PREFIX/games), the personalities,
# the manual pages and the docs; DESTDIR is prepended to every path.
PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all run test sanitize tsan native pgo fuzz clean install uninstall package

all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

# The build talks on standard error, so that standard output carries only the
# engine's lines and `make run` can be piped to a GUI or a script.
run:
	@$(MAKE) --no-print-directory all >&2
	@./$(BUILD)/zarv

test: all
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

install:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD) -j $(JOBS) --target zarv zarv-dev manpages
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD)

# Removes exactly the files the last `make install` from this build wrote
# (its manifest), and Zarv's own folders once empty; give it the same DESTDIR.
uninstall:
	DESTDIR="$(DESTDIR)" cmake --build $(BUILD) --target uninstall

# The Debian package zarv_<version>_<arch>.deb in $(BUILD)/, with the
# dependencies dpkg-shlibdeps (dpkg-dev) finds in the programs.
package:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS) --target zarv zarv-dev manpages
	cd $(BUILD) && cpack -G DEB

# The suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (Debug, so the board's consistency assertions are active too).
sanitize:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZARV_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The tests that search with several threads, built with ThreadSanitizer; a
# race report ends the program at once, so the test that drove it fails.
tsan:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZARV_TSAN=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target zarv test_search
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) -R 'EngineThreads|EngineMultiPV'

# The two programs for this machine's own instruction set (BMI2, AVX2 where
# present); not portable to older processors.
native:
	cmake -S . -B $(NATIVE_BUILD) -DCMAKE_BUILD_TYPE=Release -DZARV_ARCH=native
	cmake --build $(NATIVE_BUILD) -j $(JOBS) --target zarv zarv-dev
	./$(NATIVE_BUILD)/zarv-dev bench | tail -n 1

# Profile-guided Release build: an instrumented build, `zarv-dev bench` as the
# training run, then the rebuild that uses its counts.
pgo:
	rm -rf $(PGO_BUILD)/profile
	cmake -S . -B $(PGO_BUILD) -DCMAKE_BUILD_TYPE=Release -DZARV_ARCH=$(ARCH) -DZARV_PGO=generate
	cmake --build $(PGO_BUILD) -j $(JOBS) --target zarv zarv-dev
	./$(PGO_BUILD)/zarv-dev bench | tail -n 1
	cmake -S . -B $(PGO_BUILD) -DZARV_PGO=use
	cmake --build $(PGO_BUILD) -j $(JOBS) --target zarv zarv-dev
	./$(PGO_BUILD)/zarv-dev bench | tail -n 1

# Coverage-guided fuzzing with clang and libFuzzer: every target for
# FUZZ_SECONDS seconds (or FUZZ_RUNS executions); fails on any fault.
fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DZARV_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_RUNS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(NATIVE_BUILD) $(PGO_BUILD) $(FUZZ_BUILD)
