# Shortcuts for the scripts in scripts/.
.PHONY: build run test bench clean
build:
	scripts/build.sh
run:
	scripts/run.sh
test:
	scripts/test.sh
bench:
	scripts/bench.sh
clean:
	rm -rf build
