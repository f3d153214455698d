# The two commands a newcomer needs: `make run` and `make test`. Both install missing system
# packages first (Debian and Ubuntu), then build.
BUILD_DIR ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench format clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	./$(BUILD_DIR)/wispen

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure

# Speed and memory against a bare QTextEdit, with a throwaway HOME on the offscreen platform.
bench: build
	QT_QPA_PLATFORM=offscreen tests/run-isolated.sh ./$(BUILD_DIR)/wispen_bench

# Formats every C++ file by .clang-format.
format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
