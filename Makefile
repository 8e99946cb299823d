# Thin wrapper over CMake: `make` builds both programs (Release), `make run`
# starts the engine, `make test` builds and runs the whole suite.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all run test sanitize clean

all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run: all
	./$(BUILD)/zarv

test: all
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (Debug, so the board's consistency assertions are active too).
sanitize:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZARV_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
