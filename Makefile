# The two set-up commands of the README; each installs what is missing and builds.
# `make package` is the third way in: the Debian package, built into build/.
.PHONY: run test package deps

run: deps
	scripts/build.sh build
	scripts/run.sh $(ARGS)

test: deps
	scripts/test-all.sh

package: deps
	scripts/package.sh build

deps:
	scripts/install-deps.sh
