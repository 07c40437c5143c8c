'use strict';
// Drives the framed report's top page scripts in Chromium, on a report that tandemix-cli
// writes for two inputs made here.

const { test, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { runCli, serve, urlOf, session, watch, pause, until } = require('./browser');

const HINT =
  'Suche, synchrones Scrollen, Textgr\u00f6\u00dfe und Zeilenumbruch ben\u00f6tigen ' +
  'den Tandemix-Betrachter (oder die HTA-Form).';
const ALERT = 'Es sind mindestens 2 Zeichen f\u00fcr die Suche erforderlich!';

// Mixed letter case, a phrase plus its loose words, "<", doubled syllables (for adjacent
// hits) and long rows (for sideways scrolling).
function inputLine(i, second) {
  switch (i % 6) {
    case 0:
      return `Tandem ${i} rides along the river`;
    case 1:
      return 'the TANDEM needs two riders, tandem or not';
    case 2:
      return 'a tandem has alpha beta gear';
    case 3:
      return 'alpha only here and beta there';
    case 4:
      return second && i % 20 === 4 ? 'if (a<c) return lalala;' : 'if (a<b) return lalala;';
    default:
      return `wide row ${i} ` + 'with plenty of words '.repeat(second && i % 7 === 0 ? 12 : 14);
  }
}

// The word in three cases, typed in a fourth; a phrase whose words also stand apart.
const WORD = 'tandem';
const QUERY = 'TaNdEm';
const PAIR = ['alpha', 'beta'];

let server, top, sides, unmarked, onDiskUrl;
const browser = session('tandemix-browser-', {}, openTheReport);
const seen = browser.seen;

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
      pieces = pieces.flatMap((piece) => {
        const r = cut(piece, word);
        loose += r.hits;
        return r.rest;
      });
    }
  }
  return { exact, loose };
}

// --- page helpers ---

const textNodes = (frame) =>
  frame.evaluate(() => {
    const out = [];
    const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    while (walk.nextNode()) out.push(walk.currentNode.data);
    return out;
  });

// Highlights in document order, and the body text, which marking must not change.
const state = (frame) =>
  frame.evaluate(() => ({
    marks: [...document.querySelectorAll('span.hervorhebung, span.hervorhebungexakt')].map((s) => ({
      cls: s.className,
      text: s.textContent,
    })),
    text: document.body.textContent,
  }));

async function search(query, mode = 1) {
  await top.check(`input[name="suchoption"][value="${mode}"]`);
  await top.fill('input[name="eingabe"]', query);
  await top.click('input[name="senden"]');
}

// Checks the highlights of both frames; gives the hits counted over both.
async function expectMarks(phrase, words = [], exactOnly = true) {
  const total = { exact: 0, loose: 0 };
  for (const side of [0, 1]) {
    const s = await state(sides[side]);
    const want = expected(unmarked[side], phrase, words);
    const exact = s.marks.filter((m) => m.cls === 'hervorhebungexakt');
    const loose = s.marks.filter((m) => m.cls === 'hervorhebung');
    assert.equal(exact.length, want.exact, `frame${side}: phrase hits for "${phrase}"`);
    assert.equal(loose.length, exactOnly ? 0 : want.loose, `frame${side}: word hits`);
    exact.forEach((m) => assert.equal(m.text.toLowerCase(), phrase.toLowerCase()));
    loose.forEach((m) => assert.ok(words.includes(m.text.toLowerCase()), m.text));
    assert.equal(s.text, unmarked.text[side], `frame${side}: the rows' text, case included`);
    total.exact += want.exact;
    total.loose += want.loose;
  }
  return total;
}

const expectNoMarks = () => expectMarks('\u0000');

const scrollOf = (frame) =>
  frame.evaluate(() => ({
    x: window.pageXOffset,
    y: window.pageYOffset,
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

const rowStyles = (frame) =>
  frame.evaluate(() => [...document.getElementsByTagName('p')].map((p) => [p.style.fontSize, p.style.whiteSpace]));

// --- set-up ---

// Writes the report and opens it.
async function openTheReport() {
  const work = browser.work;
  const files = ['eins.txt', 'zwei.txt'].map((name, side) => {
    const file = path.join(work, name);
    const lines = Array.from({ length: 300 }, (_, i) => inputLine(i + 1, side === 1));
    fs.writeFileSync(file, lines.join('\n') + '\n');
    return file;
  });
  const reportDir = path.join(work, 'report');
  runCli(['-q', '-o', reportDir, ...files]);
  server = await serve(reportDir);
  const page = await browser.open(urlOf(server, 'Tandemix.htm'), null, { consoleErrors: false });
  top = page.frame({ name: 'top' });
  sides = [page.frame({ name: 'frame0' }), page.frame({ name: 'frame1' })];
  unmarked = [await textNodes(sides[0]), await textNodes(sides[1])];
  unmarked.text = [(await state(sides[0])).text, (await state(sides[1])).text];
  onDiskUrl = pathToFileURL(path.join(reportDir, 'Tandemix.htm')).href;
}

after(() => server && server.close());

// --- search ---

test("search marks every hit in both frames in the rows' own case, the phrase before its words", async () => {
  // "+" reads as a space, and %3C as "<" in exact mode.
  const cases = [
    [QUERY, 1, WORD, []],
    [PAIR.join(' '), 2, PAIR.join(' '), PAIR],
    [PAIR.join('+'), 1, PAIR.join(' '), []],
    [PAIR.join('+'), 2, PAIR.join(' '), PAIR],
    ['%3Cb', 1, '<b', []],
  ];
  for (const [query, mode, phrase, words] of cases) {
    await search(query, mode);
    const hits = await expectMarks(phrase, words, mode === 1);
    assert.ok(hits.exact > 0 && (mode === 1 || hits.loose > 0), query);
  }
});

test('one character shows the alert once and leaves no highlight', async () => {
  await search(QUERY);
  seen.dialogs.length = 0;
  await search('x');
  assert.deepEqual(seen.dialogs, [ALERT]);
  await expectNoMarks();
  assert.equal(await top.evaluate(() => document.activeElement && document.activeElement.name), 'eingabe');
  // Enter submits the form, which calls the search from two places at once.
  seen.dialogs.length = 0;
  await top.press('input[name="eingabe"]', 'Enter');
  await pause(300);
  assert.deepEqual(seen.dialogs, [ALERT]);
});

test('clearing, or a new search, first removes the old highlights, adjacent ones included', async () => {
  // Marking the middle of the word splits it: finding the whole word again after clearing
  // needs the pieces joined. "lalala" gives three highlights side by side; fuzzy leaves two
  // kinds of highlight.
  for (const [query, mode, clear] of [
    [WORD.slice(1, -1), 1, true],
    ['la', 1, false],
    [PAIR.join(' '), 2, false],
  ]) {
    await search(query, mode);
    assert.ok((await state(sides[0])).marks.length > 0, query);
    if (clear) {
      await top.click('input[name="clear"]');
      await expectNoMarks();
      const loose = await sides[0].evaluate(
        () =>
          [...document.getElementsByTagName('p')].filter((p) =>
            [...p.childNodes].some(
              (n, i, all) => n.nodeType === 3 && (n.data === '' || (all[i + 1] && all[i + 1].nodeType === 3)),
            ),
          ).length,
      );
      assert.equal(loose, 0, 'rows with empty or adjacent text pieces');
    }
    await search(QUERY);
    await expectMarks(WORD);
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
  await pause(300);
  const now = await scrollOf(sides[1]);
  assert.deepEqual([now.x, now.y], [still.x, still.y], 'frame1 moved while unticked');

  await top.click('input[name="synbox"]');
  await until('frame1 to follow again', () => followed(at), 1000);
});

test('text size and the wrap button apply to every row of both frames', async () => {
  const steps = [
    ['12pt', () => top.selectOption('#fontoptions', '12pt'), ([size]) => size === '12pt'],
    ['ohne Zeilenumbruch', () => top.click('input[name="setwrap"]'), ([, space]) => space === 'normal'],
    ['Zeilenumbruch', () => top.click('input[name="setwrap"]'), ([, space]) => space === 'nowrap'],
  ];
  for (const [name, act, holds] of steps) {
    await act();
    if (name !== '12pt') assert.equal(await top.inputValue('input[name="setwrap"]'), name);
    for (const side of [0, 1]) {
      const styles = await rowStyles(sides[side]);
      assert.ok(styles.length > 0 && styles.every(holds), `frame${side}: ${name}`);
    }
  }
});

test('no uncaught script errors while served', () => {
  assert.deepEqual(seen.errors, []);
});

// --- opened from disk ---

test('from disk the top page explains itself once and throws nothing', async () => {
  const onDisk = { errors: [], dialogs: [] };
  const disk = watch(await browser.context.newPage(), onDisk, { consoleErrors: false });
  await disk.goto(onDiskUrl);
  const diskTop = disk.frame({ name: 'top' });
  const hint = diskTop.getByText(HINT, { exact: true });
  // synchron() runs at load and reaches for the frames at once.
  await until('the line on load', async () => (await hint.count()) === 1);

  await diskTop.fill('input[name="eingabe"]', 'abc');
  for (const control of ['senden', 'clear', 'setwrap', 'synbox', 'synbox']) {
    await diskTop.click(`input[name="${control}"]`);
  }
  await diskTop.selectOption('#fontoptions', '12pt');
  await diskTop.press('input[name="eingabe"]', 'Enter');
  await pause(300);

  assert.equal(await hint.count(), 1);
  assert.equal(
    await diskTop.evaluate(() => document.body.firstElementChild.textContent),
    HINT,
    'the line stands at the top of the page',
  );
  assert.deepEqual(onDisk, { errors: [], dialogs: [] });
  await disk.close();
});
