'use strict';
// The one-file report's colour scheme, key help and syntax colours, in Chromium opened from
// disk. The choices are kept in the browser's storage, which the tests share: each test
// leaves them as it found them (automatic colours, syntax colours on).

const { test } = require('node:test');
const assert = require('node:assert/strict');
const { pathToFileURL } = require('node:url');
const { singleReport, session, until } = require('./browser');

const LIGHT = 'rgb(255, 255, 255)';
const DARK = 'rgb(29, 31, 33)';
const browser = session('tandemix-look-', { viewport: { width: 1200, height: 700 } });

// Writes the report of two inputs of the given names and lines and opens it from disk.
function openPair(name1, lines1, name2, lines2, init) {
  const report = singleReport(
    browser.work,
    [name1, name2],
    [lines1, lines2].map((lines) => lines.join('\n') + '\n'),
  );
  return browser.open(pathToFileURL(report).href, '#spacer .row', { colorScheme: 'light', init });
}

async function reload(page) {
  await page.reload();
  await page.waitForSelector('#spacer .row');
}

const background = (page) => page.$eval('body', (b) => getComputedStyle(b).backgroundColor);
const plainPair = () => openPair('eins.txt', ['same', 'left'], 'zwei.txt', ['same', 'right']);

// The coloured tokens of the row whose first side starts with `start`: per side, the class
// and text of each token (a token that the changed words cut is several spans).
function tokensOfRow(page, start) {
  return page.$$eval(
    '#spacer .row[data-row]',
    (all, start) => {
      const row = all.find((r) => r.querySelector('.text').textContent.startsWith(start));
      if (!row) return null;
      return [...row.querySelectorAll('.text')].map((x) => {
        const tokens = [];
        let last = null;
        for (const node of x.childNodes) {
          const kind = node.nodeType === 1 && (node.className.match(/\by[a-z]\b/) || [])[0];
          if (kind && last === kind) tokens[tokens.length - 1][1] += node.textContent;
          else if (kind) tokens.push([kind, node.textContent]);
          last = kind;
        }
        return tokens;
      });
    },
    start,
  );
}

const tokenSpans = (page) =>
  page.$$eval('#spacer .text span', (all) => all.filter((s) => /\by[a-z]\b/.test(s.className)).length);

test('colours follow the system, or the choice, which the browser keeps', async () => {
  const page = await plainPair();
  assert.equal(await page.$eval('#scheme', (s) => s.value), 'auto');
  assert.equal(await background(page), LIGHT);
  await page.emulateMedia({ colorScheme: 'dark' });
  await until("the system's dark colours", async () => (await background(page)) === DARK);

  const cases = [
    // [choice, system, expected]
    ['light', 'dark', LIGHT],
    ['dark', 'light', DARK],
    ['auto', 'light', LIGHT],
  ];
  for (const [choice, system, expected] of cases) {
    await page.selectOption('#scheme', choice);
    await page.emulateMedia({ colorScheme: system });
    assert.equal(await background(page), expected, `${choice} on a ${system} system`);
    await reload(page);
    assert.equal(await page.$eval('#scheme', (s) => s.value), choice, 'kept over a reload');
    assert.equal(await background(page), expected, `${choice} on a ${system} system, reloaded`);
  }
  await page.close();
});

test('without storage the choices last as long as the page', async () => {
  // Were the storage not refused, the choices would outlast the reload below.
  const page = await openPair('a.js', ['let a = 1;'], 'b.js', ['let a = 2;'], () =>
    Object.defineProperty(window, 'localStorage', {
      get() {
        throw new DOMException('refused', 'SecurityError');
      },
    }),
  );
  await page.selectOption('#scheme', 'dark');
  assert.equal(await background(page), DARK);
  await page.uncheck('#syntax');
  assert.equal(await tokenSpans(page), 0);
  await reload(page);
  assert.equal(await page.$eval('#scheme', (s) => s.value), 'auto');
  assert.ok(await page.isChecked('#syntax'));
  await page.close();
});

test('"?" shows every key the page handles, Esc closes it and the keys act again', async () => {
  const page = await plainPair();
  const shown = () => page.$eval('#help', (h) => getComputedStyle(h).display !== 'none');
  await page.click('#view');
  assert.equal(await shown(), false);
  await page.keyboard.press('?');
  assert.equal(await shown(), true);
  // Each cell lists its keys parted by commas, with where they act in brackets after them.
  const cells = await page.$$eval('#help th', (all) => all.map((th) => th.textContent));
  const keys = cells.flatMap((cell) => cell.replace(/ \(.*\)$/, '').split(', '));
  for (const key of 'n F7 p Umschalt+F7 Eingabe Umschalt+Eingabe Strg+F F3 Bild\u2193 Leertaste ? Esc'.split(' ')) {
    assert.ok(keys.includes(key), `${key} in ${keys.join(' | ')}`);
  }
  // While the help is open, the page's keys rest.
  await page.keyboard.press('n');
  assert.equal(await page.$eval('#position', (e) => e.textContent), '\u2013 / 1 Abschnitte');
  await page.keyboard.press('Escape');
  assert.equal(await shown(), false);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'view', 'focus goes back');
  await page.keyboard.press('n');
  assert.equal(await page.$eval('#position', (e) => e.textContent), '1 / 1 Abschnitte');

  // "?" typed into the search box is text; the button opens the help and its own closes it.
  await page.fill('#query', '');
  await page.focus('#query');
  await page.keyboard.press('?');
  assert.equal(await page.inputValue('#query'), '?');
  assert.equal(await shown(), false);
  await page.click('#helpbutton');
  assert.equal(await shown(), true);
  await page.click('#help button');
  assert.equal(await shown(), false);
  await page.close();
});

// The first side is JavaScript, the second Python; each row pairs with its line of the other.
const SCRIPT_LINES = [
  '// first note',
  'anchor_one = 1',
  '/* open',
  '   if return inside */ let done = true;',
  'anchor_two = 2',
  'return total + 1;',
  'anchor_three = 3',
];
const PYTHON_LINES = [
  '# first note',
  'anchor_one = 1',
  '"""open',
  '   if return inside""" ; done = True',
  'anchor_two = 2',
  'return total + 2',
  'anchor_three = 3',
];

test("rows are coloured by each side's language, the changed words on top", async () => {
  const page = await openPair('eins.js', SCRIPT_LINES, 'zwei.py', PYTHON_LINES);
  assert.equal(
    await page.$eval('#syntax', (c) => c.parentElement.title),
    'Syntaxfarben: JavaScript/TypeScript | Python',
  );
  assert.deepEqual(await tokensOfRow(page, '//'), [[['yc', '// first note']], [['yc', '# first note']]]);
  assert.deepEqual(await tokensOfRow(page, 'anchor_one'), [[['yn', '1']], [['yn', '1']]]);
  // Opened on the row before: the words in the comment and the string are no keywords.
  assert.deepEqual(await tokensOfRow(page, '   if'), [
    [
      ['yc', '   if return inside */'],
      ['yk', 'let'],
      ['yk', 'true'],
    ],
    [
      ['ys', '   if return inside"""'],
      ['yk', 'True'],
    ],
  ]);

  const changed = () =>
    page.$$eval('#spacer .row[data-row] .text', (all) => {
      const [left, right] = all.filter((x) => x.textContent.startsWith('return total'));
      return [left, right].map((x) => [...x.querySelectorAll('.changed')].map((d) => [d.className, d.textContent]));
    });
  assert.deepEqual(await tokensOfRow(page, 'return total'), [
    [
      ['yk', 'return'],
      ['yn', '1'],
    ],
    [
      ['yk', 'return'],
      ['yn', '2'],
    ],
  ]);
  assert.deepEqual(await changed(), [
    [
      ['yn changed', '1'],
      ['changed', ';'],
    ],
    [['yn changed', '2']],
  ]);

  // Switched off, the rows are plain, the changed words as before; the browser keeps it.
  await page.uncheck('#syntax');
  assert.equal(await tokenSpans(page), 0);
  assert.deepEqual(await changed(), [[['changed', '1;']], [['changed', '2']]]);
  await reload(page);
  assert.equal(await page.isChecked('#syntax'), false);
  assert.equal(await tokenSpans(page), 0);
  await page.check('#syntax');
  assert.deepEqual(await tokensOfRow(page, 'anchor_one'), [[['yn', '1']], [['yn', '1']]]);
  await page.close();
});

test('a comment opened thousands of rows above is known where it ends', async () => {
  const lines = (last) => [
    'let first = 1;',
    '/*',
    ...Array.from({ length: 5000 }, (_, i) => ` * if ${i}`),
    `*/ let last = ${last};`,
  ];
  const page = await openPair('a.ts', lines(1), 'b.ts', lines(2));
  await page.click('#next');
  assert.deepEqual(await tokensOfRow(page, '*/'), [
    [
      ['yc', '*/'],
      ['yk', 'let'],
      ['yn', '1'],
    ],
    [
      ['yc', '*/'],
      ['yk', 'let'],
      ['yn', '2'],
    ],
  ]);
  assert.deepEqual(await tokensOfRow(page, ' * if 4999'), [[['yc', ' * if 4999']], [['yc', ' * if 4999']]]);
  await page.close();
});

test('inputs of no known type stay plain, and the switch says why', async () => {
  const page = await plainPair();
  assert.equal(await tokenSpans(page), 0);
  assert.equal(await page.isDisabled('#syntax'), true);
  assert.equal(await page.$eval('#syntax', (c) => c.parentElement.title), 'Syntaxfarben: Dateityp unbekannt');
  await page.close();
});

test('no page error, no console error, no dialog', () => {
  assert.deepEqual(browser.seen, { errors: [], dialogs: [] });
});
