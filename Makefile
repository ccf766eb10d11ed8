# Thin wrappers around CMake. `make run` builds the tool alone and maps the
# bundled example design, `make test` builds and runs the whole test suite.
BUILD ?= build
EXAMPLE ?= examples/mac
OUT ?= out

.PHONY: all configure build tool run test clean

all: build

configure:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j2

# The tool alone, without the test suite.
tool: configure
	@cmake --build $(BUILD) -j2 --target syn-tool

run: tool
	@mkdir -p $(OUT)
	$(BUILD)/syn-tool -o $(OUT)/$(notdir $(EXAMPLE)).net \
	  $(EXAMPLE)/io.txt $(EXAMPLE)/global.txt $(EXAMPLE)/local.txt $(EXAMPLE)/data.txt
	@echo "netlist written to $(OUT)/$(notdir $(EXAMPLE)).net"

test: build
	@cd $(BUILD) && ctest --output-on-failure -j2

clean:
	rm -rf $(BUILD) $(OUT)

# Fuzzing: `make fuzz FUZZ_SECONDS=600` (needs clang with libFuzzer). New
# inputs go to build-fuzz/corpus; the seeds are the example and test designs
# and the inputs the fuzzer once failed on (tests/data/robust/fuzz). A crash,
# a sanitizer report or an input taking over five seconds stops the run with
# a failure and leaves the input in build-fuzz/.
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz:
	@cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSYN_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
	@cmake --build build-fuzz -j2 --target fuzz_pipeline
	@fuzz/make_corpus.sh build-fuzz/seeds >/dev/null
	@mkdir -p build-fuzz/corpus
	build-fuzz/fuzz_pipeline -max_total_time=$(FUZZ_SECONDS) -timeout=5 -rss_limit_mb=2048 \
	  -dict=fuzz/tables.dict \
	  -artifact_prefix=build-fuzz/ build-fuzz/corpus build-fuzz/seeds tests/data/robust/fuzz

# Benchmark: generated designs of doubling size up to four million cells,
# then the same shape with long transfer chains up to a million cells, then
# the two writers' times on the first shape up to a million cells.
.PHONY: bench
bench: build
	@python3 bench/run_bench.py $(BUILD)/syn-tool
	@echo
	@echo "With 16 transfers between each accumulator and its adder:"
	@python3 bench/run_bench.py $(BUILD)/syn-tool --chain 16 --max-cells 1000000
	@echo
	@echo "The netlist writer and the Verilog writer on the same netlists, both to /dev/null:"
	@python3 bench/run_bench.py $(BUILD)/syn-tool --writers --max-cells 1000000

# The instructions of one run of each size, under valgrind: the work per
# cell, apart from what the caches and the machine's other work add.
.PHONY: bench-instructions
bench-instructions: build
	@python3 bench/run_bench.py $(BUILD)/syn-tool --instructions
