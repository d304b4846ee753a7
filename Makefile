# The two set-up commands of the README; each installs what is missing and builds.
.PHONY: run test deps

run: deps
	scripts/build.sh build
	scripts/run.sh $(ARGS)

test: deps
	scripts/test-all.sh

deps:
	scripts/install-deps.sh
