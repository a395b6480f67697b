# Sourced by the project's scripts. Decides where the build runs: on the host
# when it already has OBS 30+ development files and every package of
# tools/packages.txt, otherwise inside a Debian 13 root made with debootstrap,
# kept in a cache folder outside the work tree and entered with bubblewrap.
#
#   tovrin_env_prepare      decide, provision or update the root
#   tovrin_run CMD...       run CMD in that environment, in the work tree
#   tovrin_enter ARGS...    run the calling script itself again in it, with
#                           ARGS, and exit with its status; inside, return
#
# TOVRIN_ENV=host|root forces the choice; TOVRIN_CACHE moves the cache folder.
# TOVRIN_OBS=32 picks a second root instead, of Debian's testing release with
# OBS 32, where the real-OBS tests run the module built in the first one.

TOVRIN_SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TOVRIN_CACHE=${TOVRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tovrin}
if [ "${TOVRIN_OBS:-30}" = 32 ]; then
	TOVRIN_SUITE=testing
	TOVRIN_SCRIPT=sid # bookworm's debootstrap has no script for the release after trixie
	TOVRIN_PACKAGES_FILE=$TOVRIN_SRC/tools/packages-obs32.txt
else
	TOVRIN_SUITE=trixie
	TOVRIN_SCRIPT=trixie
	TOVRIN_PACKAGES_FILE=$TOVRIN_SRC/tools/packages.txt
fi
TOVRIN_ROOT=$TOVRIN_CACHE/$TOVRIN_SUITE-root

tovrin_say() { printf '[tovrin-env] %s\n' "$*" >&2; }
tovrin_die() {
	printf '[tovrin-env] error: %s\n' "$*" >&2
	exit 1
}

tovrin_packages() { sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$TOVRIN_PACKAGES_FILE"; }

tovrin_host_ready() {
	command -v pkg-config >/dev/null && pkg-config --atleast-version=30 libobs 2>/dev/null || return 1
	command -v dpkg-query >/dev/null || return 1
	local p
	for p in $(tovrin_packages); do
		dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
	done
}

# The Debian mirror this machine is configured for, never a name of our own.
tovrin_mirror() {
	local uri
	uri=$(grep -hE '^[[:space:]]*URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}' |
		grep -v -- '-security' | grep -E '/debian/?$' | head -n 1)
	[ -n "$uri" ] || uri=$(grep -hE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list 2>/dev/null |
		awk '{for (i = 2; i <= NF; i++) if ($i ~ /^https?:/) {print $i; exit}}' | grep -v -- '-security' | head -n 1)
	[ -n "$uri" ] || tovrin_die "no Debian mirror found in /etc/apt/sources.list.d/*.sources or /etc/apt/sources.list"
	printf '%s\n' "${uri%/}"
}

tovrin_check_archive() {
	local url="$1/dists/$TOVRIN_SUITE/Release" ok=1
	if command -v curl >/dev/null; then
		curl -fsS --max-time 30 -o /dev/null "$url" && ok=0
	elif command -v wget >/dev/null; then
		wget -q -T 30 -t 1 -O /dev/null "$url" && ok=0
	else
		ok=0 # nothing to probe with; debootstrap's own error will have to do
	fi
	[ $ok = 0 ] || tovrin_die "the Debian archive cannot be reached ($url); Debian 13 packages are needed to build"
}

tovrin_host_tools() {
	command -v debootstrap >/dev/null && command -v bwrap >/dev/null && return
	[ "$(id -u)" = 0 ] || tovrin_die "debootstrap and bubblewrap are missing and only root can install them"
	tovrin_say "installing debootstrap and bubblewrap on the host"
	export DEBIAN_FRONTEND=noninteractive
	timeout 600 apt-get install -y -q debootstrap bubblewrap >/dev/null 2>&1 || {
		timeout 600 apt-get update -q >/dev/null 2>&1 || tovrin_die "apt-get update failed on the host"
		timeout 600 apt-get install -y -q debootstrap bubblewrap >/dev/null ||
			tovrin_die "could not install debootstrap and bubblewrap on the host"
	}
}

tovrin_bwrap_args() {
	TOVRIN_BWRAP=(bwrap --bind "$TOVRIN_ROOT" / --dev /dev --tmpfs /dev/shm --proc /proc \
		--bind "$TOVRIN_ROOT/tmp" /tmp --ro-bind /etc/resolv.conf /etc/resolv.conf \
		--bind "$TOVRIN_SRC" "$TOVRIN_SRC" --chdir "$TOVRIN_SRC" \
		--setenv HOME /root --setenv LANG C.UTF-8 --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin \
		--unsetenv LD_LIBRARY_PATH --die-with-parent)
	# The demo may show OBS on the caller's own X display.
	if [ -n "${TOVRIN_SHARE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ] && [ -d /tmp/.X11-unix ]; then
		TOVRIN_BWRAP+=(--bind /tmp/.X11-unix /tmp/.X11-unix --setenv DISPLAY "$DISPLAY")
		if [ -n "${XAUTHORITY:-}" ] && [ -f "$XAUTHORITY" ]; then
			TOVRIN_BWRAP+=(--ro-bind "$XAUTHORITY" "$XAUTHORITY" --setenv XAUTHORITY "$XAUTHORITY")
		fi
	else
		TOVRIN_BWRAP+=(--unsetenv DISPLAY)
	fi
}

tovrin_bwrap() {
	tovrin_bwrap_args
	"${TOVRIN_BWRAP[@]}" "$@"
}

tovrin_provision_root() {
	local mirror stamp want
	mirror=$(tovrin_mirror)
	tovrin_bwrap_args
	if [ ! -x "$TOVRIN_ROOT/usr/bin/apt-get" ] || [ ! -f "$TOVRIN_ROOT/.tovrin-bootstrapped" ]; then
		tovrin_check_archive "$mirror"
		tovrin_say "creating a Debian $TOVRIN_SUITE root in $TOVRIN_ROOT from $mirror"
		rm -rf "$TOVRIN_ROOT"
		timeout 1200 debootstrap --variant=minbase "$TOVRIN_SUITE" "$TOVRIN_ROOT" "$mirror" \
			"/usr/share/debootstrap/scripts/$TOVRIN_SCRIPT" >"$TOVRIN_CACHE/debootstrap-$TOVRIN_SUITE.log" 2>&1 ||
			tovrin_die "debootstrap failed; see $TOVRIN_CACHE/debootstrap-$TOVRIN_SUITE.log"
		touch "$TOVRIN_ROOT/.tovrin-bootstrapped"
	fi
	chmod 1777 "$TOVRIN_ROOT/tmp"
	printf 'deb %s %s main\n' "$mirror" "$TOVRIN_SUITE" >"$TOVRIN_ROOT/etc/apt/sources.list"
	[ "$TOVRIN_SUITE" = testing ] || printf 'deb %s %s-updates main\n' "$mirror" "$TOVRIN_SUITE" \
		>>"$TOVRIN_ROOT/etc/apt/sources.list"
	# The testing release's Release file may be past its date on a mirror.
	echo 'Acquire::Check-Valid-Until "false";' >"$TOVRIN_ROOT/etc/apt/apt.conf.d/99tovrin"
	want=$( (echo "$mirror"; tovrin_packages) | sha256sum | cut -c1-16)
	stamp="$TOVRIN_ROOT/.tovrin-packages"
	local install="DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $(tovrin_packages | tr '\n' ' ')"
	if [ "$(cat "$stamp" 2>/dev/null)" != "$want" ]; then
		tovrin_check_archive "$mirror"
		tovrin_say "installing the package list into the root"
		timeout 600 "${TOVRIN_BWRAP[@]}" sh -c "apt-get update -q" >"$TOVRIN_CACHE/apt-$TOVRIN_SUITE.log" 2>&1 ||
			tovrin_die "apt-get update failed in the root; see $TOVRIN_CACHE/apt-$TOVRIN_SUITE.log"
		timeout 1800 "${TOVRIN_BWRAP[@]}" sh -c "$install" >>"$TOVRIN_CACHE/apt-$TOVRIN_SUITE.log" 2>&1 ||
			tovrin_die "installing packages failed in the root; see $TOVRIN_CACHE/apt-$TOVRIN_SUITE.log"
		echo "$want" >"$stamp"
	else
		# Unchanged list: a no-op for apt, but it repairs a package removed by hand.
		timeout 600 "${TOVRIN_BWRAP[@]}" sh -c "$install" >"$TOVRIN_CACHE/apt-$TOVRIN_SUITE.log" 2>&1 ||
			tovrin_die "installing packages failed in the root; see $TOVRIN_CACHE/apt-$TOVRIN_SUITE.log"
	fi
}

tovrin_env_prepare() {
	local mode=${TOVRIN_ENV:-}
	[ "${TOVRIN_OBS:-30}" = 32 ] && mode=root
	if [ -z "$mode" ]; then
		if tovrin_host_ready; then mode=host; else mode=root; fi
	fi
	TOVRIN_MODE=$mode
	if [ "$mode" = root ]; then
		[ "$(id -u)" = 0 ] || tovrin_die "provisioning the Debian $TOVRIN_SUITE root needs root"
		tovrin_host_tools
		mkdir -p "$TOVRIN_CACHE"
		exec 9>"$TOVRIN_CACHE/lock"
		flock 9
		tovrin_provision_root
		# Held while the root changes only: long runs may share it.
		exec 9>&-
		tovrin_say "working inside $TOVRIN_ROOT"
	else
		tovrin_say "working on the host"
	fi
}

tovrin_run() {
	if [ "$TOVRIN_MODE" = root ]; then
		tovrin_bwrap "$@"
	else
		(cd "$TOVRIN_SRC" && "$@")
	fi
}

# The one way a script of ours gets into the build environment: called near
# its top, it prepares the environment and runs the script again there; the
# rest of the script runs only inside.
tovrin_enter() {
	[ -n "${TOVRIN_INSIDE:-}" ] && return 0
	local script
	script=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)/$(basename "${BASH_SOURCE[1]}")
	tovrin_env_prepare
	tovrin_run env TOVRIN_INSIDE=1 bash "$script" "$@"
	exit $?
}
