# The whole set-up on a fresh Debian 12 machine:
#   make run    install what is missing, build, open the viewer on the bundled sample fax
#   make test   install what is missing, build, run every test headless
#   make deb    build the Debian source and binary packages in dist/ (in build-deb/), checked by lintian
#   make dist   the upstream tarball dist/folivant_<version>.orig.tar.xz that the source package is built from
#   make addresses  write the makers' addresses from CMakeLists.txt into debian/
# Variables: SANITIZE=1 (address + undefined, own build folder), SANITIZE=thread (own build folder),
#            TESTS=regex (run only the matching tests), JOBS=n (default 2).

JOBS ?= 2
SANITIZE ?=
TESTS ?=

ifeq ($(SANITIZE),)
BUILD := build
CMAKE_EXTRA :=
else ifeq ($(SANITIZE),1)
BUILD := build-asan
CMAKE_EXTRA := -DFOLIVANT_SANITIZE=address,undefined
else ifeq ($(SANITIZE),thread)
BUILD := build-tsan
CMAKE_EXTRA := -DFOLIVANT_SANITIZE=thread
else
$(error SANITIZE must be empty, 1 or thread)
endif

# Rebuilds in several work trees share compiled objects when ccache is there.
CCACHE := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache,)

SAMPLE := res/sample/musterfax.tif

.PHONY: all deps build run test bench fuzz deb dist addresses format format-check clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_EXTRA) $(CCACHE)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD)/folivant "$(CURDIR)/$(SAMPLE)"; \
	else \
		echo "make run: no display found; starting the viewer on a virtual X server (xvfb-run)"; \
		xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/folivant "$(CURDIR)/$(SAMPLE)"; \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) $(if $(TESTS),-R '$(TESTS)',)

bench: deps
	@scripts/install-deps bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DFOLIVANT_TESTS=OFF $(CCACHE)
	cmake --build build-bench -j$(JOBS) --target folivant folivant-bench folivant-mkfax folivant-uibench \
		folivant-print-bench folivant-coldstart folivant-coldstart-floor
	bench/run-bench.sh build-bench

fuzz: deps
	@scripts/install-deps fuzz
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOLIVANT_FUZZ=ON -DFOLIVANT_TESTS=OFF
	cmake --build build-fuzz -j$(JOBS) --target folivant-fuzz
	bench/run-fuzz.sh build-fuzz $(or $(FUZZ_SECONDS),60)

deb: deps
	@scripts/install-deps deb
	JOBS=$(JOBS) scripts/build-deb

dist:
	scripts/make-dist

addresses:
	scripts/set-addresses

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz build-deb dist
