# make run   - build and start Corvelle
# make test  - build and run every test
# make bench - build and run the benchmark programs
.PHONY: run test build bench clean
run:
	./scripts/run.sh
test:
	./scripts/test.sh
build:
	./scripts/deps.sh && ./scripts/build.sh
bench: build
	@for b in build/tools/bin/bench_*; do echo "== $$b"; "$$b"; done
clean:
	rm -rf build
# make contact-sheet - redraw docs/contact-sheet.png (every card, back and
# pile base as the game field renders them under Wine)
.PHONY: contact-sheet
contact-sheet: build
	bash -c 'source scripts/wine-env.sh && trap wine_env_stop EXIT && wine_env_start && \
	  ctest --test-dir "$${BUILD_DIR:-build}/win" -R ContactSheet --output-on-failure'
	mkdir -p docs
	convert "$${BUILD_DIR:-build}/win/tests/field/contact-sheet.bmp" docs/contact-sheet.png
# make field-views - render the field of six games at two sizes under Wine
# into build/win/field-views/*.png (docs/field-klondike.png is one of them),
# and the sheet of every game at the smallest field, docs/all-games.png
.PHONY: field-views
field-views: build
	mkdir -p "$${BUILD_DIR:-build}/win/field-views"
	bash -c 'source scripts/wine-env.sh && trap wine_env_stop EXIT && wine_env_start && \
	  wine "$${BUILD_DIR:-build}/win/tools/fieldview/corvelle-fieldview.exe" "$${BUILD_DIR:-build}/win/field-views"'
	for f in "$${BUILD_DIR:-build}"/win/field-views/*.bmp; do convert "$$f" "$${f%.bmp}.png" && rm "$$f"; done
	convert "$${BUILD_DIR:-build}/win/field-views/all-games-867x686.png" +dither -colors 255 PNG8:docs/all-games.png
# make check-costs - time each game's library check alone into
# games/check-costs.txt (the order in which the test command starts them)
.PHONY: check-costs
check-costs: build
	./scripts/check-costs.sh
# make bench-app - measure corvelle.exe under Wine beside the floor program:
# start-up, a new deal from the menu and the selection dialog, and the
# start-up by step
.PHONY: bench-app
bench-app: build
	./scripts/bench-app.sh
