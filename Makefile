# Korvid — the two commands a new user needs are `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 120
CMAKE_FLAGS ?=
SAMPLE     := samples/bracket.hpgl

PREFIX     ?= /usr/local

.PHONY: all deps build run test test-unit test-sanitize bench fuzz format lint clean install

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD)

run: build
	$(BUILD)/src/app/korvid $(SAMPLE)

test: lint test-unit test-sanitize

test-unit: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

# The core again with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVID_SANITIZE=ON \
	  -DKORVID_CORE_ONLY=ON -DKORVID_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j2

# The real plots the window benchmark opens; absent ones are skipped.
REAL_PLOTS ?= ../shared/corpus

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVID_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD)
	$(BENCH_BUILD)/bench/korvid_bench --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true $(BENCH_ARGS)
	$(BENCH_BUILD)/bench/korvid_player_bench --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true $(BENCH_ARGS)
	$(BENCH_BUILD)/bench/korvid_render_bench --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true $(BENCH_ARGS)
	$(BENCH_BUILD)/bench/korvid_window_bench --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true --plots=$(REAL_PLOTS) $(BENCH_ARGS)
	$(BENCH_BUILD)/bench/korvid_label_bench --benchmark_repetitions=5 \
	  --benchmark_report_aggregates_only=true $(BENCH_ARGS)
	$(BENCH_BUILD)/bench/korvid_output_bench $(BENCH_ARGS)

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORVID_BUILD_FUZZ=ON -DKORVID_CORE_ONLY=ON -DKORVID_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_reader fuzz_standard_reader
	mkdir -p tests/fuzz/corpus-work tests/fuzz/corpus-work-hpgl2
	$(FUZZ_BUILD)/tests/fuzz/fuzz_reader -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
	  -timeout=10 tests/fuzz/corpus-work tests/fuzz/seeds
	$(FUZZ_BUILD)/tests/fuzz/fuzz_standard_reader -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
	  -timeout=10 tests/fuzz/corpus-work-hpgl2 tests/fuzz/seeds-hpgl2 tests/fuzz/seeds

# Installs the viewer, the converter, the help pages and the desktop integration.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	-command -v update-mime-database >/dev/null && update-mime-database $(PREFIX)/share/mime
	-command -v update-desktop-database >/dev/null && \
	  update-desktop-database $(PREFIX)/share/applications

format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

lint: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
