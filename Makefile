# Shortcuts for the scripts in scripts/.
.PHONY: build run test bench fuzz clean
build:
	scripts/build.sh
run:
	scripts/run.sh
test:
	scripts/test.sh
bench:
	scripts/bench.sh
fuzz:
	scripts/fuzz.sh $(FUZZ_SECONDS)
clean:
	rm -rf build
