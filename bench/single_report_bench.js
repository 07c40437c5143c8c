'use strict';
// Opens a one-file report from disk in headless Chromium and prints one line of key=value
// figures for single_report_bench.sh. Times are milliseconds, memory MiB.
//
//   node single_report_bench.js first REPORT         first rows, then every row in
//   node single_report_bench.js open REPORT [QUERY]  load, memory, next, search, wrap
//   node single_report_bench.js last REPORT          load, then scroll to the last row
//   node single_report_bench.js survive REPORT       load only; says whether the tab lived
//   node single_report_bench.js plain FILE           any page: the time to its load event
//   node single_report_bench.js screenshot REPORT PNG  the README's picture of a report
//   node single_report_bench.js tree REPORT [KEY]  a report of two folders: tree, rows, next file
//
// The tree mode waits for performance marks the report sets with performance.mark(NAME):
//   tandemix-tree-shown  the tree of entries is drawn (once, on opening)
//   tandemix-rows-shown  the first file's rows are drawn (once, on opening; as the one-file
//                        report sets it)
//   tandemix-file-shown  a file other than the first was opened and its rows are drawn
//                        (each time)
// and presses KEY (default "N", the page's next-file key Shift+N) on the page to time the
// next file: tree_shown_ms and first_rows_ms from the start of navigation, read_all_ms to
// the page's load event, next_file_ms from the key (the median of NEXT_FILE_STEPS presses, fewer where the tree ends) and
// next_file_cpu_ms the renderer's main thread time per press.

const fs = require('node:fs');
const path = require('node:path');
const { createRequire } = require('node:module');
const { pathToFileURL } = require('node:url');

const repo = path.resolve(__dirname, '..');
const { chromium } = createRequire(path.join(repo, 'tests/browser/package.json'))('playwright-core');

const [mode, file, query = 'function'] = process.argv.slice(2);
const figures = {};
const LOAD_TIMEOUT = 180000;
const NEXT_FILE_TIMEOUT = 10000;
const NEXT_FILE_STEPS = 5;

// --- the renderer's memory, from /proc ---

function parentOf(pid) {
  try {
    const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
    return Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
  } catch {
    return -1;
  }
}

function descendants(root) {
  const all = fs
    .readdirSync('/proc')
    .filter((n) => /^\d+$/.test(n))
    .map(Number);
  const children = new Map();
  for (const pid of all) {
    const parent = parentOf(pid);
    if (!children.has(parent)) children.set(parent, []);
    children.get(parent).push(pid);
  }
  const found = [];
  const queue = [root];
  while (queue.length) {
    for (const child of children.get(queue.shift()) || []) {
      found.push(child);
      queue.push(child);
    }
  }
  return found;
}

function statusField(pid, name) {
  try {
    const match = fs.readFileSync(`/proc/${pid}/status`, 'utf8').match(new RegExp(`^${name}:\\s+(\\d+) kB`, 'm'));
    return match ? Number(match[1]) / 1024 : 0;
  } catch {
    return 0;
  }
}

// The largest renderer of the browser this process started: the page's.
function rendererMemory() {
  let best = { pid: 0, rss: 0, anon: 0 };
  for (const pid of descendants(process.pid)) {
    let command;
    try {
      command = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
    } catch {
      continue;
    }
    if (!command.includes('--type=renderer')) continue;
    const rss = statusField(pid, 'VmRSS');
    if (rss > best.rss) best = { pid, rss, anon: statusField(pid, 'RssAnon') };
  }
  return best;
}

// Time the renderer's main thread has run, in ms: on a busy machine a steadier figure than
// the wall clock.
function mainThreadMs(pid) {
  try {
    return Number(fs.readFileSync(`/proc/${pid}/task/${pid}/schedstat`, 'utf8').split(' ')[0]) / 1e6;
  } catch {
    return NaN;
  }
}

// --- page helpers ---

const settle = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));

let renderer = 0;

// Runs an action in the page and waits until the frame after it is drawn. Sets NAME_ms to
// the wall time and NAME_cpu_ms to the renderer's main thread time.
async function timed(name, page, action, arg) {
  const cpu = mainThreadMs(renderer);
  figures[`${name}_ms`] = await page.evaluate(
    async ([source, value]) => {
      const start = performance.now();
      new Function('value', source)(value);
      await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
      return performance.now() - start;
    },
    [action, arg],
  );
  figures[`${name}_cpu_ms`] = mainThreadMs(renderer) - cpu;
}

// Waits for the page's performance mark NAME; gives its time.
async function markOf(page, name) {
  await page.waitForFunction((mark) => performance.getEntriesByName(mark).length, name, {
    timeout: LOAD_TIMEOUT,
    polling: 10,
  });
  return page.evaluate((mark) => performance.getEntriesByName(mark)[0].startTime, name);
}

// The page shows its first rows while the browser still reads the others; the figures of
// what a reader does afterwards are taken with every row in.
// A page of two folders shows its files in a frame and has no whole-report row figures.
async function load(page, wholeRows = true) {
  const started = Date.now();
  // Not waiting for the load event, which comes only after every row is read.
  await page.goto(pathToFileURL(file).href, { timeout: LOAD_TIMEOUT, waitUntil: 'commit' });
  figures.first_rows_ms = await markOf(page, 'tandemix-rows-shown');
  figures.rows_wall_ms = Date.now() - started;
  renderer = rendererMemory().pid;
  // The renderer starts with the navigation; its main thread has done little else since
  // (besides reading on in the page while the mark was awaited).
  figures.first_rows_cpu_ms = mainThreadMs(renderer);
  if (!wholeRows) return;
  figures.rows_in_page = await page.$$eval('#spacer .row', (all) => all.length);
  figures.all_rows_ms = await markOf(page, 'tandemix-rows-complete');
  figures.all_rows_cpu_ms = mainThreadMs(renderer);
}

// The time from the key press to the next tandemix-file-shown mark.
async function nextFile(page, key) {
  return page.evaluate(
    async ([name, timeout]) => {
      const start = performance.now();
      const target = document.activeElement || document.body;
      target.dispatchEvent(new KeyboardEvent('keydown', { key: name, bubbles: true }));
      for (;;) {
        const shown = performance.getEntriesByName('tandemix-file-shown').find((e) => e.startTime >= start);
        if (shown) return shown.startTime - start;
        if (performance.now() - start > timeout) throw new Error('no tandemix-file-shown mark after the key');
        await new Promise((resolve) => requestAnimationFrame(resolve));
      }
    },
    [key, NEXT_FILE_TIMEOUT],
  );
}

async function tree(page) {
  await load(page, false);
  await page.waitForFunction(() => performance.getEntriesByName('tandemix-tree-shown').length, null, {
    timeout: LOAD_TIMEOUT,
    polling: 50,
  });
  figures.tree_shown_ms = await page.evaluate(() => performance.getEntriesByName('tandemix-tree-shown')[0].startTime);
  figures.opened_ms = Math.max(figures.tree_shown_ms, figures.first_rows_ms);
  // The page shows its first file before it has read the others; the next file is timed
  // once it has read them all (read_all_ms), so that the step is not timed with the reading.
  await page.waitForFunction(() => document.readyState === 'complete', null, { timeout: LOAD_TIMEOUT, polling: 50 });
  figures.read_all_ms = await page.evaluate(() => performance.getEntriesByType('navigation')[0].loadEventStart);
  await page.evaluate(settle);
  const key = process.argv[4] || 'N';
  const files = await page.evaluate(() =>
    document.getElementById('fileposition').textContent.replace(/^.*\/ |\D+$/g, ''),
  );
  const steps = Math.max(1, Math.min(NEXT_FILE_STEPS, Number(files) - 1));
  const times = [];
  const cpu = mainThreadMs(renderer);
  for (let i = 0; i < steps; i++) {
    times.push(await nextFile(page, key));
    await page.evaluate(settle);
  }
  figures.next_file_cpu_ms = (mainThreadMs(renderer) - cpu) / steps;
  times.sort((a, b) => a - b);
  figures.next_file_ms = times[(times.length - 1) >> 1];
  figures.next_file_max_ms = times[times.length - 1];
  figures.renderer_rss_mib = rendererMemory().rss;
}

async function main() {
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-extensions', '--disable-background-networking'],
  });
  let crashed = false;
  const errors = [];
  try {
    const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
    page.on('crash', () => {
      crashed = true;
    });
    page.on('pageerror', (e) => errors.push(e.message));

    if (mode === 'plain') {
      const started = Date.now();
      await page.goto(pathToFileURL(file).href, { timeout: LOAD_TIMEOUT, waitUntil: 'load' });
      figures.plain_load_ms = Date.now() - started;
      renderer = rendererMemory().pid;
      figures.plain_cpu_ms = mainThreadMs(renderer);
    } else if (mode === 'tree') {
      await tree(page);
    } else {
      await load(page);
    }

    if (mode === 'open') {
      await page.evaluate(settle);
      const loaded = rendererMemory();
      await timed('next', page, "document.getElementById('next').click();");
      const search =
        "const q = document.getElementById('query'); q.value = value;" +
        "q.dispatchEvent(new KeyboardEvent('keydown', { key: 'Enter', bubbles: true }));";
      await timed('search_exact', page, search, query);
      figures.search_exact_hits = await page.$eval('#hits', (e) => e.textContent.replace(/^.*\/ |\D+$/g, ''));
      await page.check('input[name="mode"][value="fuzzy"]');
      await timed('search_fuzzy', page, search, query.toUpperCase());
      figures.search_fuzzy_hits = await page.$eval('#hits', (e) => e.textContent.replace(/^.*\/ |\D+$/g, ''));
      await timed('wrap_on', page, "document.getElementById('wrap').click();");
      await timed('wrap_off', page, "document.getElementById('wrap').click();");
      await timed('fold', page, "document.getElementById('fold').click();");
      const after = rendererMemory();
      figures.renderer_rss_mib = Math.max(loaded.rss, after.rss);
      figures.renderer_anon_mib = Math.max(loaded.anon, after.anon);
      figures.js_heap_mib = await page.evaluate(() =>
        performance.memory ? performance.memory.usedJSHeapSize / 1048576 : -1,
      );
    } else if (mode === 'last') {
      const shown = await page.evaluate(async () => {
        const view = document.getElementById('view');
        view.scrollTop = view.scrollHeight;
        await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
        const rows = [...document.querySelectorAll('#spacer .row[data-row]')].map((r) => Number(r.dataset.row));
        return { at: performance.now(), row: Math.max(...rows) };
      });
      figures.last_row_ms = shown.at;
      figures.last_row_cpu_ms = mainThreadMs(renderer);
      figures.last_row = shown.row;
      figures.renderer_rss_mib = rendererMemory().rss;
    } else if (mode === 'screenshot') {
      await page.setViewportSize({ width: 1280, height: 720 });
      await page.check('#fold');
      await page.click('#next');
      await page.keyboard.press('n');
      await page.fill('#query', 'ignoreCase');
      await page.press('#query', 'Enter');
      await page.evaluate(settle);
      await page.screenshot({ path: query });
      figures.screenshot = query;
    } else if (mode === 'survive') {
      await page.evaluate(settle);
      figures.cut_note = await page.$$eval('.cut', (all) => all.length);
      figures.characters_in_page = await page.$eval('#spacer', (s) => s.textContent.length);
      figures.renderer_rss_mib = rendererMemory().rss;
    }
  } catch (error) {
    figures.failure = encodeURIComponent(String(error.message).split('\n')[0]);
  } finally {
    figures.crashed = crashed ? 1 : 0;
    figures.page_errors = errors.length;
    await browser.close();
  }
  console.log(
    Object.entries(figures)
      .map(([k, v]) => `${k}=${typeof v === 'number' ? Math.round(v * 10) / 10 : v}`)
      .join(' '),
  );
}

main();
