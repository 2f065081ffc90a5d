# Runs a script's stages and tells at the end how long each took: wall time and
# processor time (user + system of the stage and of everything it started; on a
# shared machine the wall time says more about the neighbours). Sourced.
#
#   stage NAME COMMAND...                    runs a stage; fails as the command fails
#   stage_in_background NAME LOG COMMAND...  starts a stage, its output into LOG
#   stage_wait NAME                          waits for it, shows LOG, fails as it failed
#   quillory_stage_report                    the table; as an EXIT trap it also ends a
#                                            stage still running in the background

quillory_stage_dir=$(mktemp -d "${TMPDIR:-/tmp}/quillory-stages.XXXXXX")
# Seconds since the epoch, whatever the locale's decimal sign.
quillory_now() { echo "${EPOCHREALTIME/,/.}"; }
quillory_stage_started=$(quillory_now)
declare -A quillory_stage_pids=() quillory_stage_logs=()

# Runs COMMAND in a subshell of its own (errexit on) and notes NAME's times.
stage() {
  local name=$1 times="$quillory_stage_dir/times.$BASHPID" start rc
  start=$(quillory_now)
  shift
  set +e
  (
    set -e
    trap 'times >"$times"' EXIT
    "$@"
  )
  rc=$?
  set -e
  # times prints "0m1.250s 0m0.100s" for the shell, then the same for its children.
  awk -v name="$name" -v start="$start" -v end="$(quillory_now)" -v rc="$rc" '
    function seconds(t) { gsub(",", ".", t); split(t, p, "m"); return p[1] * 60 + p[2] }
    { for (i = 1; i <= NF; i++) cpu += seconds($i) }
    END { printf "%s\t%.1f\t%.1f\t%s\n", name, end - start, cpu, rc == 0 ? "" : "failed" }
  ' "$times" >>"$quillory_stage_dir/rows"
  rm -f "$times"
  return "$rc"
}

stage_in_background() {
  local name=$1 log=$2
  shift 2
  # A process group of its own, so that an early end of the script can end it whole.
  set -m
  stage "$name" "$@" >"$log" 2>&1 &
  quillory_stage_pids[$name]=$!
  set +m
  quillory_stage_logs[$name]=$log
}

stage_wait() {
  local name=$1 rc=0
  wait "${quillory_stage_pids[$name]}" || rc=$?
  unset "quillory_stage_pids[$name]"
  cat "${quillory_stage_logs[$name]}"
  return "$rc"
}

quillory_stage_report() {
  local rc=$? name
  for name in "${!quillory_stage_pids[@]}"; do
    kill -TERM -- "-${quillory_stage_pids[$name]}" 2>/dev/null || true
    wait "${quillory_stage_pids[$name]}" 2>/dev/null || true
    echo "$name: stopped; its output is in ${quillory_stage_logs[$name]}"
  done
  if [ -s "$quillory_stage_dir/rows" ]; then
    echo
    awk -F'\t' -v start="$quillory_stage_started" -v end="$(quillory_now)" '
      BEGIN { wall = end - start; printf "%-16s %9s %9s\n", "stage", "wall", "cpu" }
      { printf "%-16s %7.1f s %7.1f s  %s\n", $1, $2, $3, $4; cpu += $3 }
      END { printf "%-16s %7.1f s %7.1f s\n", "total", wall, cpu }
    ' "$quillory_stage_dir/rows"
  fi
  rm -rf "$quillory_stage_dir"
  return "$rc"
}
