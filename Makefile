# Thin wrappers around CMake. `make run` maps the bundled example design,
# `make test` builds and runs the whole test suite.
BUILD ?= build
EXAMPLE ?= examples/transfer
OUT ?= out

.PHONY: all build run test clean

all: build

build:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j2

run: build
	@mkdir -p $(OUT)
	$(BUILD)/syn-tool -o $(OUT)/$(notdir $(EXAMPLE)).net \
	  $(EXAMPLE)/io.txt $(EXAMPLE)/global.txt $(EXAMPLE)/local.txt $(EXAMPLE)/data.txt
	@echo "netlist written to $(OUT)/$(notdir $(EXAMPLE)).net"

test: build
	@cd $(BUILD) && ctest --output-on-failure -j2

clean:
	rm -rf $(BUILD) $(OUT)
