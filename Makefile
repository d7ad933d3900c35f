# Shortcuts for developers; the README's two commands are the scripts.
.PHONY: run test bench clean

run:
	./run-demo.sh

test:
	./run-tests.sh

bench:
	cmake --preset default && cmake --build --preset default && build/default/bin/orx700-bench

clean:
	rm -rf build
