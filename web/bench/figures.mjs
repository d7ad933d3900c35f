// The web edition's figures, measured in headless Chromium on this machine
// (benchmarks, not tests): load to the first LCD frame, the site's size as
// transferred with gzip, key release to LCD canvas updated (p50, p99), and
// the level and spectrum computation in WebAssembly beside the native build
// in the same run.
// usage: node web/bench/figures.mjs   (after the web build, the web bench
// target orx700-web-bench and the native orx700-bench)
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

const { server, url } = await serve();
const { browser, close } = await launch();
try {
  const size = siteSize();
  console.log(`site: ${(size.raw / 1024).toFixed(0)} KB, ${(size.gzip / 1024).toFixed(0)} KB with gzip (goal <= 1536 KB); manuals ${(size.manuals / 1024).toFixed(0)} KB more, fetched only when opened`);

  const loads = [];
  for (let i = 0; i < 5; ++i) {
    const { context, page } = await openPage(browser, url);
    loads.push(await page.evaluate(() => performance.getEntriesByName('orx700-first-frame')[0].startTime));
    await context.close();
  }
  console.log(`load to first LCD frame: median ${median(loads).toFixed(0)} ms of ${loads.map((t) => t.toFixed(0)).join(', ')} (goal <= 1000 ms)`);

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
}
