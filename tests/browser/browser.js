'use strict';
// What the browser tests share: the command-line program, a loopback server for a report
// folder, a browser with a fresh profile, pages watched for errors, and waiting.

const { before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { chromium, firefox } = require('playwright-core');

// Runs tandemix-cli and gives its stdout; like diff, it exits with 1 when the inputs differ.
function runCli(args, env = {}) {
  const cli = process.env.TANDEMIX_CLI;
  assert.ok(cli, 'TANDEMIX_CLI names the command-line program');
  const run = spawnSync(cli, args, { env: { ...process.env, ...env }, encoding: 'latin1' });
  assert.ok(run.status === 0 || run.status === 1, `tandemix-cli exited with ${run.status}: ${run.stderr}`);
  return run.stdout;
}

// Writes two inputs, names[side] holding texts[side], into folders 1 and 2 of a new folder in
// work, and their one-file report beside them; gives the report's path.
function singleReport(work, names, texts, args = [], env = {}) {
  const dir = fs.mkdtempSync(path.join(work, 'report-'));
  const files = texts.map((contents, side) => {
    const file = path.join(dir, String(side + 1), names[side]);
    fs.mkdirSync(path.dirname(file));
    fs.writeFileSync(file, contents);
    return file;
  });
  runCli(['--report', 'single', '-q', '-o', dir, ...args, ...files], env);
  return path.join(dir, 'Tandemix-Bericht.html');
}

// Serves the files of dir on 127.0.0.1, and nothing outside it.
function serve(dir) {
  const server = http.createServer((req, res) => {
    const file = path.join(dir, decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname));
    if (!file.startsWith(dir + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': /\.html?$/i.test(file) ? 'text/html' : 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Opens one page served on 127.0.0.1 in the session, watched: its bytes up to cut at once,
// the rest once the test calls release(), so that it sees what the page shows while the
// browser still reads it. Gives the page and release to test(p, release).
async function withHeldPage(s, html, cut, test) {
  let release;
  const held = new Promise((resolve) => {
    release = resolve;
  });
  const server = http.createServer((req, res) => {
    res.writeHead(200, { 'Content-Type': 'text/html' });
    res.write(html.subarray(0, cut));
    held.then(() => res.end(html.subarray(cut)));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  try {
    const p = await s.open(urlOf(server, 'held.html'), null, { waitUntil: 'commit' });
    await test(p, release);
    await p.close();
  } finally {
    release();
    server.close();
  }
}

const urlOf = (server, name) => `http://127.0.0.1:${server.address().port}/${name}`;

// Debian's Chromium, or the Firefox named by firefoxPath (driven over WebDriver BiDi).
function launch(profile, { viewport, firefoxPath } = {}) {
  if (firefoxPath) {
    return firefox.launchPersistentContext(profile, {
      channel: 'moz-firefox',
      executablePath: firefoxPath,
      headless: true,
      viewport,
    });
  }
  return chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    viewport,
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
    ],
  });
}

// A work folder for one test file, made at once, and a browser with a fresh profile in it,
// started before the first test, then the file's own set-up (the root's before hooks would
// run side by side); both go after the last test. Its pages are watched into s.seen.
function session(prefix, launchOptions, setUp = async () => {}) {
  const s = { work: fs.mkdtempSync(path.join(os.tmpdir(), prefix)), seen: { errors: [], dialogs: [] } };
  before(async () => {
    s.context = await launch(fs.mkdtempSync(path.join(s.work, 'profile-')), launchOptions);
    await setUp();
  });
  after(async () => {
    if (s.context) await s.context.close();
    fs.rmSync(s.work, { recursive: true, force: true });
  });
  // Opens url in a new watched page, after the init script and colour scheme if given, and
  // waits for the selector ready if given.
  s.open = async (url, ready, { init, colorScheme, consoleErrors, waitUntil } = {}) => {
    const page = watch(await s.context.newPage(), s.seen, { consoleErrors });
    if (init) await page.addInitScript(init);
    if (colorScheme) await page.emulateMedia({ colorScheme });
    await page.goto(url, { waitUntil });
    if (ready) await page.waitForSelector(ready);
    return page;
  };
  return s;
}

// Collects a page's uncaught errors (and console errors when asked) into seen.errors and
// its dialogs, accepted, into seen.dialogs.
function watch(page, seen, { consoleErrors = true } = {}) {
  page.on('pageerror', (e) => seen.errors.push(`page error: ${e.message}`));
  if (consoleErrors) {
    page.on('console', (m) => {
      if (m.type() === 'error') seen.errors.push(`console error: ${m.text()}`);
    });
  }
  page.on('dialog', (d) => {
    seen.dialogs.push(d.message());
    d.accept();
  });
  return page;
}

const pause = (ms) => new Promise((r) => setTimeout(r, ms));

async function until(what, check, ms = 2000) {
  const end = Date.now() + ms;
  while (!(await check())) {
    if (Date.now() > end) assert.fail(`timed out waiting for ${what}`);
    await pause(20);
  }
}

module.exports = { runCli, singleReport, serve, withHeldPage, urlOf, launch, session, watch, pause, until };
