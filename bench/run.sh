#!/usr/bin/env bash
# Runs every benchmark program of a Release build and prints one table: each of the system's
# costs beside its baseline with the ratio, then every other benchmark's figures. Every figure is
# the median of several repetitions, shown with its spread (the coefficient of variation).
#
#   bench/run.sh [--markdown] [build folder] [extra Google Benchmark options]
#   e.g. bench/run.sh build/release --benchmark_min_time=0.2
# --markdown also writes the tables into bench/README.md, between its two "bench-table" marks.
# BENCH_OUT=<folder> keeps each program's JSON results and output there. BENCH_REPETITIONS sets the
# repetitions (default 5).
# Exits non-zero when a program fails, a benchmark reports an error (such as a side that does not
# produce what its peer produces) or a figure of the side-by-side table is missing.
set -euo pipefail

markdown=
if [ "${1:-}" = "--markdown" ]; then
  markdown=1
  shift
fi
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

failed=0
mapfile -t programs < <(find "$build/bench" -type f -perm -u+x -name 'bench_*' | sort)
[ "${#programs[@]}" -gt 0 ] || { echo "no benchmark programs in $build/bench" >&2; exit 1; }
for program in "${programs[@]}"; do
  name="$(basename "$program")"
  echo "running $name …" >&2
  if ! "$program" --benchmark_format=console --benchmark_out="$out/$name.json" \
       --benchmark_out_format=json --benchmark_repetitions="${BENCH_REPETITIONS:-5}" \
       --benchmark_report_aggregates_only=true "$@" >"$out/$name.log" 2>&1; then
    echo "  $name failed; see its output:" >&2
    tail -5 "$out/$name.log" >&2
    failed=1
  fi
done

table="$out/table.md"
python3 - "$out" >"$table" <<'PY' || failed=1
import json, os, platform, sys

out = sys.argv[1]
runs = {}      # (program, run name) -> {aggregate: entry}
errors = []
context = None
for file in sorted(os.listdir(out)):
    if not file.endswith('.json'):
        continue
    program = file[:-5]
    try:
        data = json.load(open(os.path.join(out, file)))
    except ValueError:
        errors.append(f'{program}: no readable results')
        continue
    context = context or data.get('context')
    for b in data.get('benchmarks', []):
        if b.get('error_occurred'):
            errors.append(f"{program} {b.get('run_name', b['name'])}: {b.get('error_message', 'error')}")
            continue
        if b.get('run_type') == 'aggregate':
            runs.setdefault((program, b['run_name']), {})[b['aggregate_name']] = b
        else:
            runs.setdefault((program, b.get('run_name', b['name'])), {}).setdefault('median', b)

def ms(b, field):
    scale = {'ns': 1e-6, 'us': 1e-3, 'ms': 1.0, 's': 1e3}[b.get('time_unit', 'ns')]
    return b[field] * scale

def fmt(value):
    return '—' if value is None else (f'{value:.3g}' if value < 10 else f'{value:,.0f}')

def spread(run, field):
    cv = run.get('cv')
    return f" ±{cv[field] * 100:.0f}%" if cv else ''

def figure(run, field):
    return f"{fmt(ms(run['median'], field))}{spread(run, field)}"

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
print('Medians of the repetitions; ±: their coefficient of variation.')
print()
print('| Measure | System (CPU ms) | Baseline (CPU ms) | Baseline ÷ system (CPU) | Wall ms: system / baseline | File opens: system / baseline |')
print('|---|---:|---:|---:|---:|---:|')
refresh60 = 'students:60/questions:100'
refresh2000 = 'students:2000/questions:200'
pairs = [
    ('Results refresh, 60 students × 100 questions (process CPU)', f'BM_Refresh/{refresh60}/threads:0/process_time/real_time', f'BM_Refresh_BaselineOneKeyPerCall/{refresh60}/process_time/real_time', 'one readProfileString per key'),
    ('Results refresh, 2 000 students × 200 questions (process CPU)', f'BM_Refresh/{refresh2000}/threads:0/process_time/real_time', f'BM_Refresh_BaselineOneKeyPerCall/{refresh2000}/process_time/real_time', 'one readProfileString per key'),
    ('Results refresh, 2 000 × 200, two reading threads forced (process CPU)', f'BM_Refresh/{refresh2000}/threads:2/process_time/real_time', f'BM_Refresh_BaselineOneKeyPerCall/{refresh2000}/process_time/real_time', 'one readProfileString per key'),
    ('60-second save, 104 questions', 'BM_Save', 'BM_Save_Baseline210SingleWrites', '210 single writes'),
    ('Parse 1 MB profile, every section unique (from memory)', 'BM_Parse', 'BM_Parse_BaselineInih', 'inih'),
    ('Parse 1 MB profile, every section unique (from memory)', 'BM_Parse', 'BM_Parse_BaselineSimpleIni', 'SimpleIni'),
    ('Parse 1 MB profile, every section unique (from the file)', 'BM_Parse_FromFile', 'BM_Parse_BaselineQSettings', 'QSettings'),
    ('Sort routine, 2 000 scores', 'BM_Sort/2000', 'BM_Sort_BaselineQuadraticSelection/2000', 'quadratic selection'),
    ('Sort routine, 32 767 scores', 'BM_Sort/32767', 'BM_Sort_BaselineQuadraticSelection/32767', 'quadratic selection'),
]
missing = []
for label, system, baseline, what in pairs:
    s = runs.get(('bench_side_by_side', system))
    b = runs.get(('bench_side_by_side', baseline))
    for name, run in ((system, s), (baseline, b)):
        if not run or 'median' not in run:
            missing.append(name)
    if not (s and b and 'median' in s and 'median' in b):
        print(f'| {label} vs {what} | — | — | — | — | — |')
        continue
    sm, bm = s['median'], b['median']
    ratio = ms(bm, 'cpu_time') / ms(sm, 'cpu_time')
    opens = f"{sm['file_opens']:,.0f} / {bm['file_opens']:,.0f}" if 'file_opens' in sm and 'file_opens' in bm else '—'
    wall = f"{fmt(ms(sm, 'real_time'))} / {fmt(ms(bm, 'real_time'))}"
    print(f"| {label} vs {what} | {figure(s, 'cpu_time')} | {figure(b, 'cpu_time')} | {ratio:,.1f}× | {wall} | {opens} |")
mem = runs.get(('bench_console_memory', 'BM_ConsolePeakMemory/2000/200/iterations:1'), {}).get('median')
if mem:
    print(f"| Console peak memory holding a 2 000 × 200 refresh (target < 100 MB) | "
          f"{mem['peak_rss_mb']:.0f} MB peak, {mem['rss_holding_mb']:.0f} MB held | "
          f"{mem['rss_at_rest_mb']:.0f} MB at rest | — | — | — |")
else:
    missing.append('bench_console_memory BM_ConsolePeakMemory/2000/200/iterations:1')
print()
print('| Results refresh | CPU ms | Wall ms | CPU ÷ floor | Wall ÷ floor | File opens | Target |')
print('|---|---:|---:|---:|---:|---:|---|')
refreshes = [
    ('BM_ReadFloor', 'floor: open and read the same files', {}, ('60/100', '2000/200')),
    ('BM_Refresh', 'full (the teacher\'s 刷新)', {'60/100': '≤ 3× the floor', '2000/200': '≤ 150 ms'}, ('60/100', '2000/200')),
    ('BM_RefreshUnchanged', 'timer, nothing changed', {'60/100': '≤ 0.3 ms'}, ('60/100', '2000/200')),
    ('BM_RefreshFiveChanged', 'timer, five students saved', {}, ('60/100',)),
]
for size in ('60/100', '2000/200'):
    floor = runs.get(('bench_results', f'BM_ReadFloor/{size}/process_time/real_time'), {}).get('median')
    for name, what, targets, sizes in refreshes:
        if size not in sizes:
            continue
        run = runs.get(('bench_results', f'{name}/{size}/process_time/real_time'))
        if not run or 'median' not in run:
            missing.append(f'bench_results {name}/{size}')
            continue
        b = run['median']
        ratios = ['—', '—']
        if floor and name != 'BM_ReadFloor':
            ratios = [f"{ms(b, field) / ms(floor, field):.2f}×" for field in ('cpu_time', 'real_time')]
        opens = f"{b['file_opens']:,.0f}" if 'file_opens' in b else '—'
        print(f"| {size.replace('/', ' × ')}, {what} | {figure(run, 'cpu_time')} | {figure(run, 'real_time')} | "
              f"{ratios[0]} | {ratios[1]} | {opens} | {targets.get(size, '')} |")
print()
print('| Program | Benchmark | Real ms | CPU ms | Counters |')
print('|---|---|---:|---:|---|')
skip = {'name', 'run_name', 'run_type', 'repetitions', 'repetition_index', 'threads',
        'iterations', 'real_time', 'cpu_time', 'time_unit', 'family_index',
        'per_family_instance_index', 'aggregate_name', 'aggregate_unit', 'label'}
for (program, name), run in sorted(runs.items()):
    if program == 'bench_side_by_side' or 'median' not in run:
        continue
    b = run['median']
    counters = ', '.join(f'{k} {v:,.4g}' for k, v in b.items() if k not in skip and isinstance(v, (int, float)))
    print(f"| {program} | {name} | {figure(run, 'real_time')} | {figure(run, 'cpu_time')} | {counters} |")
for name in missing:
    print(f'missing figure: {name}', file=sys.stderr)
for error in errors:
    print(f'benchmark error: {error}', file=sys.stderr)
sys.exit(1 if missing or errors else 0)
PY

cat "$table"
if [ -n "$markdown" ]; then
  readme="$(dirname "$0")/README.md"
  python3 - "$readme" "$table" <<'PY'
import sys
readme, table = sys.argv[1], open(sys.argv[2]).read()
text = open(readme).read()
begin, end = '<!-- bench-table begin: written by bench/run.sh --markdown -->', '<!-- bench-table end -->'
if begin not in text or end not in text:
    sys.exit(f'{readme} has no bench-table marks')
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
open(readme, 'w').write(f'{head}{begin}\n\n{table}\n{end}{tail}')
PY
fi
exit "$failed"
