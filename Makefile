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
