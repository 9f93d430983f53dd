# Two commands for a new user: `make run` and `make test`. Both install what is missing first.
# `make check` is what CI runs: the tests, the sanitizers, fuzzing, a user's Release build and
# the formatting.

BUILD ?= build
JOBS  ?= $(shell nproc)
PACKAGES := cmake g++ make qt6-base-dev libgtest-dev libbenchmark-dev libcli11-dev pspp \
            pkg-config libreadstat-dev readstat python3 libstemmer-dev liblinear-dev \
            clang libclang-rt-14-dev clang-format postgresql libpq-dev
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# The sanitizer build of the tests and the fuzzing build (clang, libFuzzer) have folders of
# their own. `make fuzz-long TARGET=session SECONDS=3600` fuzzes one target for longer.
ASAN_BUILD   ?= build-asan
FUZZ_BUILD   ?= build-fuzz
RELEASE_BUILD ?= build-release
FUZZ_TARGETS := params classification profile data session console memory
FUZZ_SECONDS ?= 30
TARGET       ?=
SECONDS      ?= 1800

# What clang-format checks and rewrites.
FORMAT_DIRS := src tests bench fuzz
FORMAT_FIND = find $(FORMAT_DIRS) \( -name '*.cpp' -o -name '*.h' \) -print0

# The ISCO-08 example's classification and its profile are made from the ILO material, which the
# repository does not hold (see examples/isco08/README.md); without it the example is left out
# and the build goes on.
ISCO08_DATA ?= ../shared/data/isco08
ISCO08_DIR  := examples/isco08
ISCO08_SOURCES := $(wildcard $(ISCO08_DATA)/esco_ISCOGroups_en.csv $(ISCO08_DATA)/ilo_isco08_index_en.csv)

.PHONY: all deps configure build run run-isco08 isco08-example test check release bench format \
        format-check clean asan fuzz-build fuzz fuzz-long

all: build

# Installs only what dpkg does not already report as installed.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

# Our own build folders treat warnings as errors; a user's or packager's build does not.
$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_WERROR=ON

build: deps $(BUILD)/CMakeCache.txt isco08-example
	cmake --build $(BUILD) -j $(JOBS)

configure: deps $(BUILD)/CMakeCache.txt

# Builds the desktop program alone, then starts it beside the demo project's files.
run: configure isco08-example
	cmake --build $(BUILD) -j $(JOBS) --target tarnwick
	cd examples/demo && ../../$(BUILD)/src/app/tarnwick

# The same beside the ISCO-08 example, which cannot be opened without its classification.
run-isco08: configure isco08-example
	@[ -f $(ISCO08_DIR)/isco08.clf ] || \
	  { echo "$(ISCO08_DIR)/isco08.clf is missing: set ISCO08_DATA to the ISCO-08 material"; exit 1; }
	cmake --build $(BUILD) -j $(JOBS) --target tarnwick
	cd $(ISCO08_DIR) && ../../$(BUILD)/src/app/tarnwick

isco08-example: $(ISCO08_DIR)/isco08.clf $(ISCO08_DIR)/isco08.clp

# A pattern rule, so that one run of the converter makes both files. Remade when the converter or
# the material is newer; a note instead of a fault when the material is not there.
$(ISCO08_DIR)/%.clf $(ISCO08_DIR)/%.clp: tools/isco08_to_clf.py $(ISCO08_SOURCES) | deps
	@if [ -d "$(ISCO08_DATA)" ]; then \
	  echo "python3 tools/isco08_to_clf.py $(ISCO08_DIR)/$*.clf --data $(ISCO08_DATA)"; \
	  python3 tools/isco08_to_clf.py $(ISCO08_DIR)/$*.clf --data $(ISCO08_DATA); \
	else \
	  echo "ISCO-08 material not found in $(ISCO08_DATA); the isco08 example needs it" \
	    "(set ISCO08_DATA to its folder)"; \
	fi

# Every test of the normal build, and nothing else: the longer checks are `make check`'s.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# The tests, then the same tests under the sanitizers, a short run of every fuzz target, a
# Release build as a user makes it (compiler warnings do not stop it there) and the formatting.
check: test
	@$(MAKE) --no-print-directory asan
	@$(MAKE) --no-print-directory fuzz
	@$(MAKE) --no-print-directory release
	@$(MAKE) --no-print-directory format-check

$(RELEASE_BUILD)/CMakeCache.txt:
	cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release

release: deps $(RELEASE_BUILD)/CMakeCache.txt
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

# All the tests, the window's too, built with AddressSanitizer (its leak checker included) and
# UndefinedBehaviorSanitizer. Configured on every run, so that a folder made by an older Makefile
# takes the options below.
asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_SANITIZE=ON \
	  -DTARNWICK_GUI=ON -DTARNWICK_BENCH=OFF -DTARNWICK_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) --timeout 600

# Everything instrumented for libFuzzer with ASan and UBSan (clang only; warnings of clang's own
# do not stop a fuzzing run).
$(FUZZ_BUILD)/CMakeCache.txt:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DTARNWICK_FUZZ=ON -DTARNWICK_GUI=OFF -DTARNWICK_BENCH=OFF -DTARNWICK_WERROR=OFF

fuzz-build: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets

# Runs fuzz target $(1) for $(2) seconds from the committed seeds, with its dictionary of key
# words (fuzz/<target>.dict), keeping what it finds new in corpus folder $(3) of the build folder,
# never in the repository. A finding (crash, leak, timeout, failed invariant) is saved under
# $(FUZZ_BUILD)/findings.
FUZZ_RUN = mkdir -p $(FUZZ_BUILD)/$(3)/$(1) $(FUZZ_BUILD)/findings && \
	$(FUZZ_BUILD)/fuzz/fuzz_$(1) $(FUZZ_BUILD)/$(3)/$(1) fuzz/corpus/$(1) \
	  -dict=fuzz/$(1).dict -max_total_time=$(2) -timeout=60 -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_BUILD)/findings/$(1)-

# The short runs start afresh from the seeds each time, so that they take the same time always.
fuzz: fuzz-build
	@rm -rf $(FUZZ_BUILD)/corpus-short
	@for t in $(FUZZ_TARGETS); do \
	  log=$(FUZZ_BUILD)/fuzz_$$t.log; \
	  echo "fuzz_$$t: $(FUZZ_SECONDS) s"; \
	  if ! ( $(call FUZZ_RUN,$$t,$(FUZZ_SECONDS),corpus-short) ) > $$log 2>&1; then \
	    tail -n 60 $$log; echo "fuzz_$$t FAILED (log: $$log)"; exit 1; \
	  fi; \
	  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units)' $$log; \
	done

# A long run keeps its corpus in $(FUZZ_BUILD)/corpus/<target> from one run to the next.
fuzz-long: fuzz-build
	@[ -n "$(TARGET)" ] || \
	  { echo "usage: make fuzz-long TARGET=<$(FUZZ_TARGETS)> SECONDS=<n>"; exit 2; }
	$(call FUZZ_RUN,$(TARGET),$(SECONDS),corpus)

# The team load needs a server: its script starts a throwaway one.
bench: build
	@for b in $(BUILD)/bench/bench_*; do \
	  case $$b in *bench_team_load) continue ;; esac; [ -x "$$b" ] && "$$b"; done
	bench/team_load.sh $(BUILD)

format: deps
	$(FORMAT_FIND) | xargs -0 clang-format -i

# Fails when any file's formatting differs from .clang-format, and names the lines.
format-check: deps
	$(FORMAT_FIND) | xargs -0 clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD)
