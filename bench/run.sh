#!/usr/bin/env bash
# Runs every benchmark program of a Release build and prints one table: each of the system's
# costs beside its baseline with the ratio, then every other benchmark's figures.
#
#   bench/run.sh [build folder] [extra Google Benchmark options]
#   e.g. bench/run.sh build/release --benchmark_min_time=0.2
# BENCH_OUT=<folder> keeps each program's JSON results and output there.
set -euo pipefail

build="${1:-build/release}"
shift || true
[ -d "$build/bench" ] || { echo "no benchmarks in $build (configure with -DEXAM_BUILD_BENCH=ON)" >&2; exit 1; }
if [ -n "${BENCH_OUT:-}" ]; then
  out="$BENCH_OUT"
  mkdir -p "$out"
else
  out="$(mktemp -d)"
  trap 'rm -rf "$out"' EXIT
fi
export QT_QPA_PLATFORM=offscreen

mapfile -t programs < <(find "$build/bench" -type f -perm -u+x -name 'bench_*' | sort)
for program in "${programs[@]}"; do
  name="$(basename "$program")"
  echo "running $name …" >&2
  if ! "$program" --benchmark_format=console --benchmark_out="$out/$name.json" \
       --benchmark_out_format=json "$@" >"$out/$name.log" 2>&1; then
    echo "  $name failed; see its output:" >&2
    tail -5 "$out/$name.log" >&2
  fi
done

python3 - "$out" <<'PY'
import json, os, platform, sys

out = sys.argv[1]
runs = {}
context = None
for file in sorted(os.listdir(out)):
    if not file.endswith('.json'):
        continue
    try:
        data = json.load(open(os.path.join(out, file)))
    except ValueError:
        continue
    context = context or data.get('context')
    program = file[:-5]
    for b in data.get('benchmarks', []):
        if b.get('run_type', 'iteration') != 'iteration' or b.get('error_occurred'):
            continue
        runs[(program, b['name'])] = b

def ms(b, field):
    scale = {'ns': 1e-6, 'us': 1e-3, 'ms': 1.0, 's': 1e3}[b.get('time_unit', 'ns')]
    return b[field] * scale

def fmt(value):
    return '—' if value is None else (f'{value:.3g}' if value < 10 else f'{value:,.0f}')

def get(name):
    return runs.get(('bench_side_by_side', name))

cpu_model = platform.processor() or '?'
try:
    for line in open('/proc/cpuinfo'):
        if line.startswith('model name'):
            cpu_model = line.split(':', 1)[1].strip()
            break
except OSError:
    pass
if context:
    print(f"Machine: {platform.node()}, {cpu_model}, {context.get('num_cpus')} CPUs, "
          f"Linux {platform.release()}, load average "
          f"{', '.join(f'{x:.1f}' for x in context.get('load_avg', []))}; {context.get('date')}")
print()
print('| Measure | System (CPU ms) | Baseline (CPU ms) | Baseline ÷ system (CPU) | Wall ms: system / baseline | File opens: system / baseline |')
print('|---|---:|---:|---:|---:|---:|')
pairs = [
    ('Results refresh, 60 students × 100 questions', 'BM_Refresh/60/100/process_time/real_time', 'BM_Refresh_BaselineOneKeyPerCall/60/100/real_time', 'one readProfileString per key'),
    ('Results refresh, 2 000 students × 200 questions', 'BM_Refresh/2000/200/process_time/real_time', 'BM_Refresh_BaselineOneKeyPerCall/2000/200/real_time', 'one readProfileString per key'),
    ('60-second save, 104 questions', 'BM_Save', 'BM_Save_Baseline210SingleWrites', '210 single writes'),
    ('Parse 1 MB profile (from memory)', 'BM_Parse', 'BM_Parse_BaselineInih', 'inih'),
    ('Parse 1 MB profile (from memory)', 'BM_Parse', 'BM_Parse_BaselineSimpleIni', 'SimpleIni'),
    ('Parse 1 MB profile (from the file)', 'BM_Parse_FromFile', 'BM_Parse_BaselineQSettings', 'QSettings'),
    ('Sort routine, 2 000 scores', 'BM_Sort/2000', 'BM_Sort_BaselineQuadraticSelection/2000', 'quadratic selection'),
    ('Sort routine, 32 767 scores', 'BM_Sort/32767', 'BM_Sort_BaselineQuadraticSelection/32767', 'quadratic selection'),
]
for label, system, baseline, what in pairs:
    s, b = get(system), get(baseline)
    sc = ms(s, 'cpu_time') if s else None
    bc = ms(b, 'cpu_time') if b else None
    ratio = f'{bc / sc:,.1f}×' if sc and bc else '—'
    opens = '—'
    if s and b and 'file_opens' in s:
        opens = f"{s['file_opens']:,.0f} / {b['file_opens']:,.0f}"
    wall = f"{fmt(ms(s, 'real_time'))} / {fmt(ms(b, 'real_time'))}" if s and b else '—'
    print(f'| {label} vs {what} | {fmt(sc)} | {fmt(bc)} | {ratio} | {wall} | {opens} |')
mem = runs.get(('bench_console_memory', 'BM_ConsolePeakMemory/2000/200/iterations:1'))
if mem:
    print(f"| Console peak memory holding a 2 000 × 200 refresh (target < 100 MB) | "
          f"{mem['peak_rss_mb']:.0f} MB peak, {mem['rss_holding_mb']:.0f} MB held | "
          f"{mem['rss_at_rest_mb']:.0f} MB at rest | — | — | — |")
print()
print('| Results refresh | CPU ms | Wall ms | CPU ÷ floor | Wall ÷ floor | File opens | Target |')
print('|---|---:|---:|---:|---:|---:|---|')
refreshes = [
    ('BM_ReadFloor', 'floor: open and read the same files', {}),
    ('BM_Refresh', 'full (the teacher\'s 刷新)', {'60/100': '≤ 3× the floor', '2000/200': '≤ 150 ms'}),
    ('BM_RefreshUnchanged', 'timer, nothing changed', {'60/100': '≤ 0.3 ms'}),
    ('BM_RefreshFiveChanged', 'timer, five students saved', {}),
]
for size in ('60/100', '2000/200'):
    floor = runs.get(('bench_results', f'BM_ReadFloor/{size}/process_time/real_time'))
    for name, what, targets in refreshes:
        b = runs.get(('bench_results', f'{name}/{size}/process_time/real_time'))
        if not b:
            continue
        ratios = ['—', '—']
        if floor and name != 'BM_ReadFloor':
            ratios = [f"{ms(b, field) / ms(floor, field):.2f}×" for field in ('cpu_time', 'real_time')]
        opens = f"{b['file_opens']:,.0f}" if 'file_opens' in b else '—'
        print(f"| {size.replace('/', ' × ')}, {what} | {fmt(ms(b, 'cpu_time'))} | {fmt(ms(b, 'real_time'))} | "
              f"{ratios[0]} | {ratios[1]} | {opens} | {targets.get(size, '')} |")
print()
print('| Program | Benchmark | Real ms | CPU ms | Counters |')
print('|---|---|---:|---:|---|')
for (program, name), b in sorted(runs.items()):
    if program == 'bench_side_by_side':
        continue
    skip = {'name', 'run_name', 'run_type', 'repetitions', 'repetition_index', 'threads',
            'iterations', 'real_time', 'cpu_time', 'time_unit', 'family_index',
            'per_family_instance_index', 'aggregate_name', 'aggregate_unit', 'label'}
    counters = ', '.join(f'{k} {v:,.4g}' for k, v in b.items() if k not in skip and isinstance(v, (int, float)))
    print(f"| {program} | {name} | {fmt(ms(b, 'real_time'))} | {fmt(ms(b, 'cpu_time'))} | {counters} |")
PY
