'use strict';
// Drives the report's top page scripts in Chromium. The report comes from
// TANDEMIX_REPORT_DIR, else from TANDEMIX_CLI run on two inputs written here, else
// from hand-built pages around the script files. Search terms are taken from the
// pages themselves, so any report with a little text works.

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');
const { writeInputs } = require('./inputs');

const HINT = 'Suche, synchrones Scrollen, Textgr\u00f6\u00dfe und Zeilenumbruch ben\u00f6tigen ' +
  'den Tandemix-Betrachter (oder die HTA-Form).';
const ALERT = 'Es sind mindestens 2 Zeichen f\u00fcr die Suche erforderlich!';
const PAGES = ['Tandemix.htm', '~tandemixtop.htm', '~tandemix1.htm', '~tandemix2.htm'];

let reportDir, server, context, page, top, sides, original, terms;
const dialogs = [];
const pageErrors = [];

function prepareReport(work) {
  if (process.env.TANDEMIX_REPORT_DIR) return path.resolve(process.env.TANDEMIX_REPORT_DIR);
  const [file1, file2] = writeInputs(work);
  const out = path.join(work, 'report');
  fs.mkdirSync(out);
  const cli = process.env.TANDEMIX_CLI;
  assert.ok(cli, 'TANDEMIX_CLI names the command-line program');
  // Like diff, the program exits with 1 when the inputs differ.
  const run = spawnSync(cli, ['-q', '-o', out, file1, file2], { stdio: 'inherit' });
  assert.ok(run.status === 0 || run.status === 1, `tandemix-cli exited with ${run.status}`);
  return out;
}

function serve(dir) {
  const srv = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname).slice(1);
    const file = path.join(dir, name);
    if (!file.startsWith(dir + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': /\.html?$/i.test(file) ? 'text/html' : 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => srv.listen(0, '127.0.0.1', () => resolve(srv)));
}

// --- what the page should show, worked out from the untouched text nodes ---

// Splits text at the case-insensitive, non-overlapping hits of word, left to right.
function cut(text, word) {
  const low = text.toLowerCase();
  const key = word.toLowerCase();
  const rest = [];
  let hits = 0;
  let from = 0;
  for (let at = low.indexOf(key); at >= 0; at = low.indexOf(key, from)) {
    rest.push(text.slice(from, at));
    hits++;
    from = at + key.length;
  }
  rest.push(text.slice(from));
  return { hits, rest };
}

// Hits of the phrase, then of each word in what the phrase left over.
function expected(texts, phrase, words = []) {
  let exact = 0;
  let loose = 0;
  for (const text of texts) {
    const first = cut(text, phrase);
    exact += first.hits;
    let pieces = first.rest;
    for (const word of words) {
      const next = [];
      for (const piece of pieces) {
        const r = cut(piece, word);
        loose += r.hits;
        next.push(...r.rest);
      }
      pieces = next;
    }
  }
  return { exact, loose };
}

function pickTerms(texts0, texts1) {
  const words = new Map();
  [texts0, texts1].forEach((texts, side) => {
    for (const text of texts) {
      for (const [w] of text.matchAll(/[A-Za-z]{4,}/g)) {
        const e = words.get(w.toLowerCase()) || { n: [0, 0], forms: new Set() };
        e.n[side]++;
        e.forms.add(w);
        words.set(w.toLowerCase(), e);
      }
    }
  });
  const [word, info] = [...words].filter(([, e]) => e.n[0] && e.n[1])
    .sort(([, a], [, b]) => b.forms.size - a.forms.size || b.n[0] + b.n[1] - a.n[0] - a.n[1])[0];
  // Typed in a case the rows do not use, so keeping the rows' case is visible.
  let query = [...word].map((c, i) => (i % 2 ? c : c.toUpperCase())).join('');
  if (info.forms.has(query)) query = query.toLowerCase().replace(/^./, (c) => c.toUpperCase());

  const all = [...texts0, ...texts1];
  let pair = null;
  const seen = new Set();
  for (const text of all) {
    for (const m of text.matchAll(/([A-Za-z]{3,}) ([A-Za-z]{3,})/g)) {
      if (pair || seen.has(m[0]) || seen.size > 200) continue;
      seen.add(m[0]);
      const e = expected(all, m[0], [m[1], m[2]]);
      if (e.exact && e.loose) pair = [m[1], m[2]];
    }
  }
  let doubled = null;
  for (const text of all) {
    const low = text.toLowerCase();
    for (let i = 0; !doubled && i + 4 <= low.length; i++) {
      const bg = low.slice(i, i + 2);
      if (/^[a-z]{2}$/.test(bg) && low.startsWith(bg, i + 2)) doubled = bg;
    }
  }
  const lt = all.join('\n').match(/<[A-Za-z0-9]{0,2}/);
  return { word, query, pair, doubled: doubled || word.slice(0, 2), lt: lt && lt[0] };
}

// --- page helpers ---

const textNodes = (frame) => frame.evaluate(() => {
  const out = [];
  const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  while (walk.nextNode()) out.push(walk.currentNode.data);
  return out;
});

// Highlights in document order, and the body text, which marking must not change.
const state = (frame) => frame.evaluate(() => ({
  marks: [...document.querySelectorAll('span.hervorhebung, span.hervorhebungexakt')]
    .map((s) => ({ cls: s.className, text: s.textContent })),
  text: document.body.textContent,
}));

async function search(query, mode = 1) {
  await top.check(`input[name="suchoption"][value="${mode}"]`);
  await top.fill('input[name="eingabe"]', query);
  await top.click('input[name="senden"]');
}

async function expectMarks(side, phrase, words, onlyExact) {
  const s = await state(sides[side]);
  const want = expected(original[side], phrase, words);
  const exact = s.marks.filter((m) => m.cls === 'hervorhebungexakt');
  const loose = s.marks.filter((m) => m.cls === 'hervorhebung');
  assert.equal(exact.length, want.exact, `frame${side}: phrase hits for "${phrase}"`);
  assert.equal(loose.length, onlyExact ? 0 : want.loose, `frame${side}: word hits`);
  exact.forEach((m) => assert.equal(m.text.toLowerCase(), phrase.toLowerCase()));
  loose.forEach((m) => assert.ok(words.includes(m.text.toLowerCase()), m.text));
  assert.equal(s.text, original.text[side], `frame${side}: the rows' text, case included`);
  return want;
}

async function expectNoMarks() {
  for (const side of [0, 1]) {
    const s = await state(sides[side]);
    assert.deepEqual(s.marks, [], `frame${side} still has highlights`);
    assert.equal(s.text, original.text[side]);
  }
}

async function until(what, check, ms = 2000) {
  const end = Date.now() + ms;
  for (;;) {
    if (await check()) return;
    if (Date.now() > end) assert.fail(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, 20));
  }
}

const scrollOf = (frame) => frame.evaluate(() => ({
  x: window.pageXOffset, y: window.pageYOffset,
  maxX: document.documentElement.scrollWidth - window.innerWidth,
  maxY: document.documentElement.scrollHeight - window.innerHeight,
}));

async function scrollFrame0(x, y) {
  await sides[0].evaluate(([a, b]) => window.scrollTo(a, b), [x, y]);
  return scrollOf(sides[0]);
}

async function followed(at) {
  const s = await scrollOf(sides[1]);
  return s.x === Math.min(at.x, s.maxX) && s.y === Math.min(at.y, s.maxY);
}

const rowStyles = (frame) => frame.evaluate(() =>
  [...document.getElementsByTagName('p')].map((p) => [p.style.fontSize, p.style.whiteSpace]));

// --- set-up ---

before(async () => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tandemix-browser-'));
  reportDir = prepareReport(work);
  for (const name of PAGES) assert.ok(fs.existsSync(path.join(reportDir, name)), `missing ${name}`);
  server = await serve(reportDir);
  context = await chromium.launchPersistentContext(fs.mkdtempSync(path.join(work, 'profile-')), {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  page = await context.newPage();
  page.on('dialog', (d) => { dialogs.push(d.message()); d.accept(); });
  page.on('pageerror', (e) => pageErrors.push(e.message));
  await page.goto(`http://127.0.0.1:${server.address().port}/Tandemix.htm`);
  top = page.frame({ name: 'top' });
  sides = [page.frame({ name: 'frame0' }), page.frame({ name: 'frame1' })];
  original = [await textNodes(sides[0]), await textNodes(sides[1])];
  original.text = [(await state(sides[0])).text, (await state(sides[1])).text];
  terms = pickTerms(original[0], original[1]);
});

after(async () => {
  if (context) await context.close();
  if (server) server.close();
});

// --- search ---

test('exact search marks every hit in both frames in the rows\' own case', async () => {
  await search(terms.query);
  for (const side of [0, 1]) {
    const want = await expectMarks(side, terms.word, [], true);
    assert.ok(want.exact > 0, `"${terms.word}" occurs in frame${side}`);
  }
});

test('fuzzy search marks the phrase first, then the loose words', async (t) => {
  if (!terms.pair) return t.skip('no two-word phrase in this report');
  const [w1, w2] = terms.pair;
  await search(`${w1} ${w2}`, 2);
  let loose = 0;
  for (const side of [0, 1]) loose += (await expectMarks(side, `${w1} ${w2}`, [w1.toLowerCase(), w2.toLowerCase()])).loose;
  assert.ok(loose > 0);
});

test('"+" reads as a space, and %3C as "<" in exact mode', async (t) => {
  if (terms.pair) {
    const [w1, w2] = terms.pair;
    await search(`${w1}+${w2}`);
    for (const side of [0, 1]) await expectMarks(side, `${w1} ${w2}`, [], true);
    await search(`${w1}+${w2}`, 2);
    for (const side of [0, 1]) await expectMarks(side, `${w1} ${w2}`, [w1.toLowerCase(), w2.toLowerCase()]);
  }
  if (!terms.lt) return t.skip('no "<" in this report');
  await search('%3C' + terms.lt.slice(1));
  let hits = 0;
  for (const side of [0, 1]) hits += (await expectMarks(side, terms.lt, [], true)).exact;
  assert.ok(hits > 0);
});

test('one character shows the alert once and leaves no highlight', async () => {
  await search(terms.query);
  dialogs.length = 0;
  await search('x');
  assert.deepEqual(dialogs, [ALERT]);
  await expectNoMarks();
  assert.equal(await top.evaluate(() => document.activeElement && document.activeElement.name), 'eingabe');
  // Enter submits the form, which calls the search from two places at once.
  dialogs.length = 0;
  await top.press('input[name="eingabe"]', 'Enter');
  await new Promise((r) => setTimeout(r, 300));
  assert.deepEqual(dialogs, [ALERT]);
});

test('clearing removes all highlights and rejoins the rows', async () => {
  // Marking the middle of the word splits it; after clearing, the whole word must
  // be found again, which needs the pieces joined.
  await search(terms.word.slice(1, -1));
  assert.ok((await state(sides[0])).marks.length > 0);
  await top.click('input[name="clear"]');
  await expectNoMarks();
  const loose = await sides[0].evaluate(() => [...document.getElementsByTagName('p')].filter((p) =>
    [...p.childNodes].some((n, i, all) => n.nodeType === 3 && (n.data === '' || (all[i + 1] && all[i + 1].nodeType === 3)))).length);
  assert.equal(loose, 0, 'rows with empty or adjacent text pieces');
  await search(terms.word);
  for (const side of [0, 1]) await expectMarks(side, terms.word, [], true);
  await top.click('input[name="clear"]');
  await expectNoMarks();
});

test('a new search first removes the old highlights, adjacent ones included', async () => {
  await search(terms.doubled);
  const before = await state(sides[0]);
  assert.ok(before.marks.length > 0);
  await search(terms.query);
  for (const side of [0, 1]) await expectMarks(side, terms.word, [], true);
  if (terms.pair) {
    // Fuzzy leaves two kinds of highlight; an exact search must drop both.
    await search(terms.pair.join(' '), 2);
    await search(terms.query);
    for (const side of [0, 1]) await expectMarks(side, terms.word, [], true);
  }
  await top.click('input[name="clear"]');
  await expectNoMarks();
});

// --- view ---

test('frame1 follows frame0\'s scrolling while "synchron scrollen" is ticked', async () => {
  let at = await scrollFrame0(60, 400);
  assert.ok(at.y > 0, 'frame0 must be tall enough to scroll');
  await until('frame1 to follow', () => followed(at), 1000);

  await top.click('input[name="synbox"]');
  const still = await scrollOf(sides[1]);
  at = await scrollFrame0(0, 900);
  await new Promise((r) => setTimeout(r, 300));
  const now = await scrollOf(sides[1]);
  assert.deepEqual([now.x, now.y], [still.x, still.y], 'frame1 moved while unticked');

  await top.click('input[name="synbox"]');
  await until('frame1 to follow again', () => followed(at), 1000);
});

test('text size applies to every row of both frames', async () => {
  await top.selectOption('#fontoptions', '12pt');
  for (const side of [0, 1]) {
    const styles = await rowStyles(sides[side]);
    assert.ok(styles.length > 0);
    assert.ok(styles.every(([size]) => size === '12pt'), `frame${side}`);
  }
});

test('the wrap button toggles its caption and the rows\' white-space', async () => {
  const button = 'input[name="setwrap"]';
  for (const [caption, space] of [['ohne Zeilenumbruch', 'normal'], ['Zeilenumbruch', 'nowrap']]) {
    await top.click(button);
    assert.equal(await top.inputValue(button), caption);
    for (const side of [0, 1]) {
      assert.ok((await rowStyles(sides[side])).every(([, ws]) => ws === space), `frame${side}: ${space}`);
    }
  }
});

test('no uncaught script errors while served', () => {
  assert.deepEqual(pageErrors, []);
});

// --- opened from disk ---

test('from disk the top page explains itself once and throws nothing', async () => {
  const disk = await context.newPage();
  const errors = [];
  const seen = [];
  disk.on('pageerror', (e) => errors.push(e.message));
  disk.on('dialog', (d) => { seen.push(d.message()); d.accept(); });
  await disk.goto(pathToFileURL(path.join(reportDir, 'Tandemix.htm')).href);
  const diskTop = disk.frame({ name: 'top' });
  const hint = diskTop.getByText(HINT, { exact: true });
  // synchron() runs at load and reaches for the frames at once.
  await until('the line on load', async () => (await hint.count()) === 1);

  await diskTop.fill('input[name="eingabe"]', 'abc');
  await diskTop.click('input[name="senden"]');
  await diskTop.click('input[name="clear"]');
  await diskTop.selectOption('#fontoptions', '12pt');
  await diskTop.click('input[name="setwrap"]');
  await diskTop.click('input[name="synbox"]');
  await diskTop.click('input[name="synbox"]');
  await diskTop.press('input[name="eingabe"]', 'Enter');
  await new Promise((r) => setTimeout(r, 300));

  assert.equal(await hint.count(), 1);
  assert.equal(await diskTop.evaluate(() => document.body.firstElementChild.textContent), HINT,
    'the line stands at the top of the page');
  assert.deepEqual(errors, []);
  assert.deepEqual(seen, []);
  await disk.close();
});
