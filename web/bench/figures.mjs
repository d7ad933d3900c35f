// The web edition's figures, measured in headless Chromium on this machine
// (benchmarks, not tests): load to the first LCD frame, the site's size as
// transferred with gzip, key release to LCD canvas updated (p50, p99), and
// the level and spectrum computation in WebAssembly beside the native build
// in the same run.
// usage: node web/bench/figures.mjs [--site SITE_FOLDER] [--against SITE_FOLDER] [--loads N]
//   (after the web build, the web bench target orx700-web-bench and the
//   native orx700-bench). --site measures another folder than the build's
//   site. --against loads another build of the site (an older one, say) in
//   turn with this one, in the same run, and prints both load figures and
//   waterfalls side by side; --loads sets the loads of each (9).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { launch, openPage, play, PROJECT, serve, SITE } from '../tests/browser.mjs';
import { startServer } from '../tools/serve.mjs';

const NATIVE_BENCH = path.join(PROJECT, 'build/default/bin/orx700-bench');
const BENCH_SITE = path.join(PROJECT, 'build/web/bench-site');
const quantile = (values, q) => [...values].sort((a, b) => a - b)[Math.min(values.length - 1, Math.floor(q * values.length))];
const median = (values) => quantile(values, 0.5);

function siteSize() {
  let raw = 0;
  let gzip = 0;
  let manuals = 0;
  for (const entry of fs.readdirSync(SITE, { recursive: true, withFileTypes: true })) {
    if (!entry.isFile()) continue;
    const file = path.join(entry.parentPath ?? entry.path, entry.name);
    const data = fs.readFileSync(file);
    if (path.relative(SITE, file).startsWith('manuals')) {
      manuals += data.length;
      continue;
    }
    raw += data.length;
    gzip += zlib.gzipSync(data, { level: 6 }).length;
  }
  return { raw, gzip, manuals };
}

// One load's waterfall: when each step of the start ended, in ms from the
// navigation's start (null for a step the site does not mark).
function loadSteps(page) {
  return page.evaluate(() => {
    const resources = performance.getEntriesByType('resource');
    const received = (test) => {
      const ends = resources.filter((e) => test(new URL(e.name).pathname)).map((e) => e.responseEnd);
      return ends.length ? Math.max(...ends) : null;
    };
    const mark = (name) => performance.getEntriesByName(name)[0]?.startTime ?? null;
    const MODULES = ['main', 'balloon', 'dialogs', 'input', 'instrument', 'isolation', 'state', 'view'];
    return [
      ['index.html received', performance.getEntriesByType('navigation')[0].responseEnd],
      ['orx700.js received', received((p) => p.endsWith('/orx700.js'))],
      ['page modules received (the last)', received((p) => MODULES.some((m) => p.endsWith(`/js/${m}.js`)))],
      ['orx700.wasm received', received((p) => p.endsWith('/orx700.wasm'))],
      ['instrument module requested', mark('orx700-module-requested')],
      ['orx700.wasm compiled', mark('orx700-wasm-compiled')],
      ['module ready', mark('orx700-module-ready')],
      ['pool worker loaded', mark('orx700-worker-loaded')],
      ['first LCD frame', mark('orx700-first-frame')],
    ];
  });
}

const option = (name) => (process.argv.indexOf(name) > 0 ? process.argv[process.argv.indexOf(name) + 1] : null);
const against = option('--against');
const LOADS = Number(option('--loads') ?? 9);
const { server, url } = option('--site')
  ? await startServer({ root: option('--site'), port: 0 }).then((s) => ({ server: s, url: `http://127.0.0.1:${s.address().port}/` }))
  : await serve();
const other = against ? await startServer({ root: against, port: 0 }) : null;
const { browser, close } = await launch();
try {
  const size = siteSize();
  console.log(`site: ${(size.raw / 1024).toFixed(0)} KB, ${(size.gzip / 1024).toFixed(0)} KB with gzip (goal <= 1536 KB); manuals ${(size.manuals / 1024).toFixed(0)} KB more, kept for offline use once the page runs`);

  // The loads of each site taken in turn, which one first changing from
  // round to round, so that a busy machine and a warm cache weigh on both
  // alike; the waterfall is each step's median over them.
  const sites = [{ name: option('--site') ?? 'this build', url, loads: [] }];
  if (other) sites.push({ name: against, url: `http://127.0.0.1:${other.address().port}/`, loads: [] });
  for (let i = 0; i < LOADS; ++i) {
    for (const site of i % 2 ? [...sites].reverse() : sites) {
      const { context, page } = await openPage(browser, site.url);
      site.loads.push(await loadSteps(page));
      await context.close();
    }
  }
  const cell = (values) => {
    const known = values.filter((v) => v !== null);
    return (known.length ? median(known).toFixed(0) : '-').padStart(8);
  };
  console.log(`load waterfall, ms from navigation (median of ${sites[0].loads.length} loads):`);
  console.log(`  ${''.padEnd(34)}${sites.map((site, i) => `${i ? 'against' : 'this'}`.padStart(8)).join('')}`);
  for (const [row, [step]] of sites[0].loads[0].entries())
    console.log(`  ${step.padEnd(34)}${sites.map((site) => cell(site.loads.map((load) => load[row][1]))).join('')}`);
  const frames = sites.map((site) => site.loads.map((load) => load.at(-1)[1]));
  for (const [i, site] of sites.entries())
    console.log(`load to first LCD frame (${site.name}): median ${median(frames[i]).toFixed(0)} ms of ${frames[i].map((t) => t.toFixed(0)).join(', ')} (goal <= 500 ms)`);
  // Each round's two loads ran side by side: the ratio of each pair weighs
  // the machine's load of that moment out.
  if (other) {
    const ratios = frames[0].map((t, i) => t / frames[1][i]);
    console.log(`first LCD frame, this / against: median of the rounds' ratios ${median(ratios).toFixed(2)} (${quantile(ratios, 0.25).toFixed(2)}..${quantile(ratios, 0.75).toFixed(2)} between the quartiles)`);
  }

  const { context, page } = await openPage(browser, url);
  await play(page, ['k1-long', 'wait 1500', 'both']);
  const latencies = await page.evaluate(async (count) => {
    const times = [];
    const key = (type) => document.dispatchEvent(new KeyboardEvent(type, { key: 'ArrowRight', bubbles: true }));
    for (let i = 0; i < count; ++i) {
      key('keydown');
      await new Promise((resolve) => setTimeout(resolve, 20));
      const frame = new Promise((resolve) => document.addEventListener('lcdrefresh', resolve, { once: true }));
      const start = performance.now();
      key('keyup'); // a short click is sent at the release
      await frame;
      times.push(performance.now() - start);
      await new Promise((resolve) => setTimeout(resolve, 20));
    }
    return times;
  }, 300);
  await context.close();
  console.log(`key release to LCD canvas updated (main menu, ${latencies.length} clicks): p50 ${median(latencies).toFixed(2)} ms, p99 ${quantile(latencies, 0.99).toFixed(2)} ms, max ${Math.max(...latencies).toFixed(2)} ms (goal p99 <= 16 ms)`);

  if (fs.existsSync(path.join(BENCH_SITE, 'orx700-bench.wasm')) && fs.existsSync(NATIVE_BENCH)) {
    const benchServer = await startServer({ root: BENCH_SITE, port: 0 });
    const benchContext = await browser.newContext();
    const benchPage = await benchContext.newPage();
    await benchPage.goto(`http://127.0.0.1:${benchServer.address().port}/`);
    const wasm = await benchPage.evaluate(() => window.benchmark(200, 5));
    await benchContext.close();
    benchServer.close();
    // Best of five on both sides: the WebAssembly figure is the best of five
    // rounds, so the native one is the best of five repetitions, not their
    // median, which a busy machine inflates and the best round escapes.
    const json = JSON.parse(execFileSync(NATIVE_BENCH, ['--benchmark_filter=^BM_ComputeVibrationResults$',
      '--benchmark_format=json', '--benchmark_repetitions=5'], { encoding: 'utf8' }));
    const runs = json.benchmarks.filter((b) => b.run_type === 'iteration');
    const nativeUs = Math.min(...runs.map((b) => b.real_time * ({ ns: 1e-3, us: 1, ms: 1e3 }[b.time_unit])));
    console.log(`ComputeVibrationResults: WebAssembly ${wasm.toFixed(0)} us, native ${nativeUs.toFixed(0)} us (best of ${runs.length} each), ratio ${(wasm / nativeUs).toFixed(2)} (goal <= 2)`);
  } else {
    console.log('ComputeVibrationResults: build orx700-web-bench (web preset) and orx700-bench (default preset) for this figure');
  }
} finally {
  await close();
  server.close();
  other?.close();
}
