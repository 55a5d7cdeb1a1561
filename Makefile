# Vorlo: make play (open the player on a demo quiz), make test (build everything, run every test)
SHELL := /bin/bash
JOBS ?= 2
B := build
MINGW := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw.cmake

.PHONY: play all deps native win64 win32 fuzz bench-build test test-native test-win64 test-win32 test-fuzz bench clean

all: native win64 win32

# Opens the text demo quiz under Wine (on a virtual display with a screenshot when there is none).
QUIZ ?= capitales
play: $(B)/win64/CMakeCache.txt
	cmake --build $(B)/win64 -j$(JOBS) --target $(QUIZ)
	@scripts/play $(B)/win64/quizzes/$(QUIZ).exe

deps:
	@scripts/deps.sh

$(B)/native/CMakeCache.txt: | deps
	cmake -S . -B $(B)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
$(B)/win64/CMakeCache.txt: | deps
	cmake -S . -B $(B)/win64 $(MINGW) -DMINGW_ARCH=x86_64 >/dev/null
$(B)/win32/CMakeCache.txt: | deps
	cmake -S . -B $(B)/win32 $(MINGW) -DMINGW_ARCH=i686 >/dev/null
$(B)/fuzz/CMakeCache.txt: | deps
	cmake -S . -B $(B)/fuzz -DVORLO_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
$(B)/bench/CMakeCache.txt: | deps
	cmake -S . -B $(B)/bench -DVORLO_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null

native: $(B)/native/CMakeCache.txt
	cmake --build $(B)/native -j$(JOBS)
win64: $(B)/win64/CMakeCache.txt
	cmake --build $(B)/win64 -j$(JOBS)
win32: $(B)/win32/CMakeCache.txt
	cmake --build $(B)/win32 -j$(JOBS)
fuzz: $(B)/fuzz/CMakeCache.txt
	cmake --build $(B)/fuzz -j$(JOBS)
bench-build: $(B)/bench/CMakeCache.txt
	cmake --build $(B)/bench -j$(JOBS)

test-native: native win32 win64
	cd $(B)/native && ctest --output-on-failure -j$(JOBS)
test-win64: win64
	VORLO_XVFB=1 scripts/with-wine bash -c 'cd $(B)/win64 && ctest --output-on-failure -j$(JOBS)'
test-win32: win32
	cd $(B)/win32 && ctest --output-on-failure
test-fuzz: fuzz
	cd $(B)/fuzz && ctest --output-on-failure

# Every build, every test; the summary line of each suite, then one overall line.
test: deps
	@scripts/run-all-tests

bench: bench-build
	@for b in $(B)/bench/bench/*_bench $(B)/bench/bench/*/*_bench; do [ -x $$b ] && $$b; done; true

clean:
	rm -rf $(B)
