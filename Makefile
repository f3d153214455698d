# The two commands a newcomer needs: `make run` and `make test`. Both install missing system
# packages first (Debian and Ubuntu), then build.
BUILD_DIR ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test package bench typing-bar typing-table stress asan mutants format clean

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

# The Debian package, build/wispen_<version>_<architecture>.deb, from the install rules.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# Typing as a person feels it, from outside the process under Xvfb: key press to repaint at
# 10 MB against a bare QPlainTextEdit (typing-bar, passes at a ratio of 2 or less), and the
# table at 1, 10 and 50 MB with other editors (typing-table). The probe lives in PERF_TYPING.
PERF_TYPING ?= ../shared/perf-typing
typing-bar: build
	@scripts/install-deps.sh typing
	MAX_RATIO=2 $(PERF_TYPING)/bar-typing.sh $(CURDIR)/$(BUILD_DIR)/wispen

typing-table: build
	@scripts/install-deps.sh typing
	cd $(PERF_TYPING) && WISPEN=$(CURDIR)/$(BUILD_DIR)/wispen ./run.sh

# The random walk of what a person does, long: thousands of walks, each checked on disk.
STRESS_RUNS ?= 3000
stress: build
	cd $(BUILD_DIR) && WISPEN_STRESS_RUNS=$(STRESS_RUNS) QTEST_FUNCTION_TIMEOUT=7200000 QT_QPA_PLATFORM=offscreen \
		../tests/run-isolated.sh tests/tst_notesnotlost

# Speed and memory against bare QPlainTextEdit and QTextEdit editors, with a throwaway HOME on the
# offscreen platform. WISPEN_BENCH_SIZES=1kb,10mb limits the note sizes.
bench: build
	QT_QPA_PLATFORM=offscreen tests/run-isolated.sh ./$(BUILD_DIR)/wispen_bench

# The whole test suite on a build with AddressSanitizer and UndefinedBehaviorSanitizer; any
# report fails the run.
ASAN_DIR ?= build-asan
asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
		-DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
	@cmake --build $(ASAN_DIR)
	cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure

# How many small faults in the session, autosave, journal, editor and formatting rooms the
# tests catch: a fixed, seeded sample of mutants, each built and tested in build-mutants/.
mutants: deps
	python3 scripts/mutants.py

# Formats every C++ file by .clang-format.
format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
