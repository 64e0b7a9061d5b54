# Quillane: set-up, build, run and test on a fresh Debian machine.

PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 \
            libqt6sql6-sqlite libqt6sql6-psql postgresql libsqlite3-dev qt6-qpa-plugins libgl-dev libgtest-dev libbenchmark-dev clang-format xvfb xauth \
            poppler-utils fonts-dejavu-core fonts-liberation2 hyperfine python3 xdotool x11-apps
# Building and checking the Debian package, and validating the launcher entry and metadata.
PACKAGES += dpkg-dev file desktop-file-utils appstream
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test test-asan bench format format-check clean
.PHONY: install uninstall package

all: build

# Installs only what is missing; nothing at all when everything is there.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		sudo=""; [ "$$(id -u)" = 0 ] || sudo=sudo; \
		echo "Installing:$$missing"; \
		$$sudo apt-get update && \
		$$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_WERROR=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "No display found: starting Quillane under xvfb-run (a virtual screen nobody can see)."; \
		xvfb-run -a $(BUILD)/quillane; \
	else \
		$(BUILD)/quillane; \
	fi

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLANE_SANITIZE=ON -DQUILLANE_WERROR=ON -DQUILLANE_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do \
		[ -f "$$b" ] && [ -x "$$b" ] || continue; \
		echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b --benchmark_min_time=0.2 || exit 1; \
	done
	@echo "== print runs to PDF against the same checks drawn bare with QPainter (whole processes)"
	@cd $(BUILD)/bench && for n in 300 1000; do \
		QT_QPA_PLATFORM=offscreen sh $(CURDIR)/bench/alternate.sh 10 2 "./bench_print --once $$n three" "./print_bare $$n three" || exit 1; \
	done
	@echo "== start-up to the splash window painted, against a bare Qt window (whole processes, under Xvfb)"
	@cd $(BUILD)/bench && xvfb-run -a sh $(CURDIR)/bench/alternate.sh 10 2 ./startup_splash ./startup_bare

# The program, its launcher entry, icon, metadata and guide under $(PREFIX); DESTDIR is honoured.
# The list of installed files is kept apart: packaging and the tests install elsewhere too.
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)
	@cp $(BUILD)/install_manifest.txt $(BUILD)/installed-files.txt

# Removes what the last make install put in place, and the guide's folders it made.
uninstall:
	@if [ -f $(BUILD)/installed-files.txt ]; then \
		guide=$$(sed -n 's|/help/[^/]*$$||p' $(BUILD)/installed-files.txt | sort -u); \
		xargs -r -d '\n' rm -f -- < $(BUILD)/installed-files.txt && rm -f $(BUILD)/installed-files.txt; \
		for d in $$guide; do rmdir "$$d/help" "$$d" 2>/dev/null || true; done; \
	fi

# The Debian package: $(BUILD)/quillane_<version>_<architecture>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails, naming the files, when a source is not as clang-format would write it.
format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD)
