# Two commands a person needs: `make run` and `make test`. Each sets up what is missing first.
BUILD   ?= build
ASAN    ?= build-asan
JOBS    ?= $(shell nproc)

.PHONY: run test test-asan bench fuzz setup build clean format

setup:
	@scripts/setup.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./vrkdisk

test: build
	scripts/run-tests.sh $(BUILD)

$(ASAN)/CMakeCache.txt:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVRK_SANITIZE=ON

test-asan: setup $(ASAN)/CMakeCache.txt
	cmake --build $(ASAN) -j $(JOBS)
	scripts/run-tests.sh $(ASAN)

bench:
	@scripts/setup.sh bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVRK_BENCH=ON -DVRK_TESTS=OFF
	cmake --build build-bench -j $(JOBS) --target bench_all
	@for b in build-bench/bench_*; do [ -x "$$b" ] && [ -f "$$b" ] && { echo "== $$b"; $$b; }; done

fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRK_FUZZ=ON -DVRK_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzz_all
	@echo "fuzz targets: build-fuzz/fuzz_*  (run one as: build-fuzz/fuzz_archive -max_total_time=300)"

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN) build-bench build-fuzz
