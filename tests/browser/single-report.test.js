'use strict';
// Drives the one-file report (tandemix-cli --report single) in Chromium, opened from disk.
// TANDEMIX_TEST_FIREFOX=/usr/bin/firefox-esr runs the same tests in that Firefox instead
// (over WebDriver BiDi).

const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { runCli, singleReport, withHeldPage, session } = require('./browser');

const REPORT = 'Tandemix-Bericht.html';

// Five differences between long unchanged stretches, plus the texts a search must take
// literally and rows long enough to wrap.
function inputLines(second) {
  const lines = [];
  const filler = (from, count) => {
    for (let i = 0; i < count; i++) lines.push(`unchanged line ${from + i} of the stretch`);
  };
  lines.push('the quick brown fox jumps');
  lines.push('');
  lines.push('for (i = 0; i < n; ++index) total += a%20b;');
  filler(1, 30);
  lines.push(second ? 'the quick red fox jumps' : 'the quick brown fox jumps');
  filler(31, 30);
  if (!second) lines.push('only in the first <script>window.pwned = 1</script>');
  filler(61, 30);
  if (second) lines.push('only in the second, Tandem and TANDEM and tandem');
  filler(91, 10);
  lines.push((second ? 'wide changed row ' : 'wide row ') + 'with many words '.repeat(40) + 'y'.repeat(400));
  lines.push('short after the wide one');
  filler(101, 30);
  lines.push('last line ++index %20 <script>' + (second ? ' and more' : ''));
  return lines;
}

let reportDir, resultLine, page;
const firefoxPath = process.env.TANDEMIX_TEST_FIREFOX;
// Playwright cannot emulate media over WebDriver BiDi (print, colour scheme).
const NO_MEDIA = firefoxPath && 'media emulation is not available in Firefox over BiDi';
const browser = session('tandemix-single-', { viewport: { width: 1200, height: 700 }, firefoxPath }, openTheReport);
const { work, seen } = browser;
const open = (url, ready = '#spacer .row', options) => browser.open(url, ready, options);

// Writes the report of two inputs of the given contents into a folder of its own.
function reportOf(contents1, contents2, env, args) {
  const report = singleReport(work, ['1', '2'], [contents1, contents2], args, env);
  return { html: fs.readFileSync(report), url: pathToFileURL(report).href };
}

async function openReportOf(contents1, contents2, { env, ready, args } = {}) {
  const { html, url } = reportOf(contents1, contents2, env, args);
  return { html, page: await open(url, ready) };
}

// Writes the report and opens it.
async function openTheReport() {
  const files = ['eins.txt', 'zwei.txt'].map((name, side) => {
    fs.writeFileSync(path.join(work, name), inputLines(side === 1).join('\n') + '\n');
    return path.join(work, name);
  });
  reportDir = path.join(work, 'report');
  const out = runCli(['--report', 'single', '-o', reportDir, ...files], { LC_ALL: 'C.UTF-8' });
  resultLine = out.split('\n')[0];
  assert.deepEqual(fs.readdirSync(reportDir), [REPORT], 'one file and nothing else');
  page = await open(pathToFileURL(path.join(reportDir, REPORT)).href);
}

// --- helpers ---

const rows = (p = page) =>
  p.$$eval('#spacer .row[data-row]', (all) =>
    all
      .map((r) => {
        const box = r.getBoundingClientRect();
        const cells = [...r.children].map((c) => {
          const b = c.getBoundingClientRect();
          return {
            top: b.top,
            height: b.height,
            cls: c.className,
            number: c.querySelector('.number').textContent,
            text: c.querySelector('.text').textContent,
          };
        });
        return {
          row: Number(r.dataset.row),
          top: box.top,
          bottom: box.bottom,
          cur: r.classList.contains('cur'),
          cells,
        };
      })
      .sort((a, b) => a.row - b.row),
  );

const textIn = (p, selector) => p.$eval(selector, (e) => e.textContent);
const text = (selector) => textIn(page, selector);

// Types the query into the page's search and starts it.
async function findIn(p, query) {
  await p.fill('#query', query);
  await p.press('#query', 'Enter');
}

// The rows whose top lies inside the view.
async function rowsInView() {
  const box = await page.$eval('#view', (v) => {
    const b = v.getBoundingClientRect();
    return { top: b.top, bottom: b.bottom };
  });
  return (await rows()).filter((r) => r.top >= box.top - 1 && r.top < box.bottom);
}

async function scrollTo(top) {
  await page.$eval('#view', (v, top) => (v.scrollTop = top), top);
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
}
const toTop = () => scrollTo(0);

async function search(query, mode = 'exact') {
  await toTop();
  await page.check(`input[name="mode"][value="${mode}"]`);
  await findIn(page, query);
}

function countIn(lines, needle) {
  let n = 0;
  for (const line of lines)
    for (let at = line.indexOf(needle); at >= 0; at = line.indexOf(needle, at + needle.length)) n++;
  return n;
}

const allLines = () => [...inputLines(false), ...inputLines(true)];

// --- the page ---

test('one self-contained file: no frame, no external resource, names in the title', async () => {
  const html = fs.readFileSync(path.join(reportDir, REPORT), 'latin1');
  assert.match(html, /<meta charset="utf-8">/);
  assert.doesNotMatch(html, /<i?frame/i);
  assert.doesNotMatch(html, /\b(src|href)="(?!data:)/i, 'no resource outside the file');
  assert.equal(
    await page.title(),
    'Tandemix: ' + path.join(work, 'eins.txt') + ' \u2194 ' + path.join(work, 'zwei.txt'),
  );
  assert.equal(await page.evaluate(() => window.pwned), undefined, 'row text never runs as markup');
});

test('the result line, the differences by kind that add up to it, and the legend', async () => {
  assert.equal(await text('#result'), resultLine);
  assert.equal(resultLine, 'Ergebnis: 5 Unterschiede');
  assert.equal(await text('#kinds'), '(3 ge\u00e4ndert, 1 hinzugef\u00fcgt, 1 gel\u00f6scht)');
  const legend = await page.$$eval('.legend .swatch', (all) =>
    all.map((s) => [getComputedStyle(s).backgroundColor, s.nextElementSibling.textContent]),
  );
  assert.deepEqual(legend, [
    ['rgb(255, 238, 187)', 'ge\u00e4ndert'],
    ['rgb(204, 238, 204)', 'hinzugef\u00fcgt'],
    ['rgb(238, 204, 204)', 'gel\u00f6scht'],
  ]);
});

test("line numbers are the files' own, none on filler rows", async () => {
  const shown = await rows();
  // The empty second line is dropped; the next row is line 3 of both files.
  const numbers = shown.slice(0, 2).map((r) => r.cells.map((c) => c.number).join());
  assert.deepEqual(numbers, ['1,1', '3,3']);
  const gaps = await page.$$eval('#spacer .row[data-row="0"] .number, #spacer .row[data-row="1"] .number', (all) =>
    all.map((n) => n.classList.contains('gap') && n.title),
  );
  assert.deepEqual(gaps, [false, false, '1 leere Zeile ausgelassen', '1 leere Zeile ausgelassen']);
  const filler = shown.find((r) => r.cells[1].cls.includes(' blank'));
  assert.ok(filler, 'a filler row in view');
  assert.equal(filler.cells[1].number, '');
  assert.equal(filler.cells[0].cls, 'side D');
  await page.uncheck('#numbers');
  assert.equal(await page.$eval('#spacer .row[data-row] .number', (n) => getComputedStyle(n).display), 'none');
  await page.check('#numbers');
});

// The changed words of each side of a row.
const changedWords = (p, row) =>
  p.$$eval(`#spacer .row[data-row="${row}"] .side`, (cells) =>
    cells.map((c) => [...c.querySelectorAll('.changed')].map((d) => d.textContent)),
  );

test('a changed pair shows the changed words', async () => {
  await page.keyboard.press('Escape');
  const changed = (await rows()).find((r) => r.cells[0].cls === 'side C');
  assert.deepEqual(await changedWords(page, changed.row), [['brown'], ['red']]);
});

// Two lines of some 2,600 characters whose words between the first and the last change are
// many: the word comparison keeps no table of all their pairs, and finds both words.
test('a long changed pair shows its changed words', async () => {
  const words = Array.from({ length: 500 }, (_, i) => `w${i}`);
  const line = (changes) => words.map((w) => changes[w] || w).join(' ');
  const report = await openReportOf(line({}) + '\n', line({ w10: 'v10', w480: 'v480' }) + '\n');
  assert.deepEqual(await changedWords(report.page, 0), [
    ['w10', 'w480'],
    ['v10', 'v480'],
  ]);
  await report.page.close();
});

test("a selection stays on its side and copies that side's lines only", async () => {
  await scrollTo(300);
  const changed = (await rowsInView()).find((r) => r.cells[1].text === 'the quick red fox jumps');
  const box = (r) =>
    page.$eval(`#spacer .row[data-row="${r}"] .side + .side .column`, (t) => {
      const b = t.getBoundingClientRect();
      return { left: b.left, right: b.right, middle: (b.top + b.bottom) / 2 };
    });
  const [from, to] = [await box(changed.row - 1), await box(changed.row + 1)];
  await page.mouse.move(from.left + 1, from.middle);
  await page.mouse.down();
  await page.mouse.move(to.right - 4, to.middle, { steps: 5 });
  await page.mouse.up();
  const userSelect = () =>
    page.$eval(`#spacer .row[data-row="${changed.row}"] .side`, (s) => getComputedStyle(s).userSelect);
  assert.equal(await userSelect(), 'none', 'the other side cannot be selected');
  const copied = await page.evaluate(() => {
    const event = new ClipboardEvent('copy', { clipboardData: new DataTransfer(), bubbles: true, cancelable: true });
    document.dispatchEvent(event);
    return event.clipboardData.getData('text/plain');
  });
  const rights = (await rows()).filter((r) => Math.abs(r.row - changed.row) <= 1).map((r) => r.cells[1].text);
  assert.equal(copied, rights.join('\n'));
  await page.mouse.click(5, 5);
  assert.equal(await userSelect(), 'auto');
});

test("Ctrl+F and F3 go to the report's search, Esc back to the rows", async () => {
  await page.click('#view');
  await page.keyboard.press('Control+f');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'query');
  await page.keyboard.type('tandem');
  await page.keyboard.press('Escape');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'view');
  await page.keyboard.press('F3');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'query');
  assert.equal(await text('#hits'), '1 / 1 Treffer');
  await findIn(page, '');
  await page.keyboard.press('Escape');
  await toTop();
});

test('next and previous difference: buttons, n/p, F7/Shift+F7, number and highlight', async () => {
  await page.click('#view');
  assert.equal(await text('#position'), '\u2013 / 5 Abschnitte');
  const steps = [
    ['#next', 1, 'the quick'],
    ['n', 2, 'only in the first'],
    ['F7', 3, 'only in the second'],
    ['Shift+F7', 2],
    ['p', 1],
    ['#prev', 1],
    ['n n n n n n', 5, 'last line'],
  ];
  for (const [keys, n, firstText] of steps) {
    for (const key of keys.split(' ')) {
      await (key.startsWith('#') ? page.click(key) : page.keyboard.press(key));
    }
    assert.equal(await text('#position'), `${n} / 5 Abschnitte`, keys);
    const current = (await rowsInView()).filter((r) => r.cur);
    assert.ok(current.length > 0, `difference ${n} highlighted in view`);
    if (firstText)
      assert.ok(
        current[0].cells.some((c) => c.text.startsWith(firstText)),
        current[0].cells[0].text,
      );
  }
});

test('the overview marks each difference and a click there scrolls there', async () => {
  const box = await page.$eval('#overview', (o) => {
    const b = o.getBoundingClientRect();
    return { x: b.left, y: b.top, w: b.width, h: b.height };
  });
  const painted = await page.$eval('#overview canvas', (c) => {
    const data = c.getContext('2d').getImageData(Math.floor(c.width / 2), 0, 1, c.height).data;
    let runs = 0;
    for (let y = 0, inside = false; y < c.height; y++) {
      const on = data[y * 4 + 3] > 0;
      if (on && !inside) runs++;
      inside = on;
    }
    return runs;
  });
  assert.ok(painted >= 4, `marks in the overview: ${painted}`);
  await page.mouse.click(box.x + box.w / 2, box.y + 2);
  assert.equal((await rowsInView())[0].row, 0);
  await page.mouse.click(box.x + box.w / 2, box.y + box.h - 2);
  const last = (await rowsInView()).pop();
  assert.match(last.cells[0].text, /^last line/);
  assert.equal(await text('#position'), '5 / 5 Abschnitte', 'a click makes the nearest section current');
  await page.mouse.click(box.x + box.w / 2, box.y + 2);
  assert.equal(await text('#position'), '1 / 5 Abschnitte');
  assert.ok(
    (await rows()).some((r) => r.cur && r.cells[1].text === 'the quick red fox jumps'),
    'and highlighted',
  );
});

test('search takes "++index", "%20" and "<script>" literally, counts and steps', async () => {
  for (const query of ['++index', '%20', '<script>']) {
    await search(query);
    const want = countIn(allLines(), query);
    assert.ok(want >= 2, query);
    assert.equal(await text('#hits'), `1 / ${want} Treffer`, query);
    const current = await page.$eval('.hit.cur', (h) => h.textContent);
    assert.equal(current, query);
    await page.press('#query', 'Enter');
    assert.equal(await text('#hits'), `2 / ${want} Treffer`, query);
    await page.press('#query', 'Shift+Enter');
    await page.press('#query', 'Shift+Enter');
    assert.equal(await text('#hits'), `${want} / ${want} Treffer`, query);
  }
});

test('"unscharf" ignores case, "exakt" does not', async () => {
  await search('tandem', 'exact');
  assert.equal(await text('#hits'), '1 / 1 Treffer');
  await search('tandem', 'fuzzy');
  assert.equal(await text('#hits'), '1 / 3 Treffer');
  const marked = await page.$$eval('.hit', (all) => all.map((h) => h.textContent));
  assert.deepEqual(marked, ['Tandem', 'TANDEM', 'tandem']);
  await page.click('#hitnext');
  assert.equal(await text('#hits'), '2 / 3 Treffer');
  await search('');
  await page.waitForFunction(() => document.getElementById('hits').textContent === '');
  assert.equal(await page.$$eval('.hit', (all) => all.length), 0);
});

test("text size changes the rows' font", async () => {
  const before = await page.$eval('#spacer .row[data-row]', (r) => r.getBoundingClientRect().height);
  await page.selectOption('#size', '14');
  const size = await page.$eval('#spacer .row[data-row] .text', (x) => parseFloat(getComputedStyle(x).fontSize));
  assert.ok(Math.abs(size - (14 * 96) / 72) < 0.01, `font size ${size}`);
  const after = await page.$eval('#spacer .row[data-row]', (r) => r.getBoundingClientRect().height);
  assert.ok(after > before, `row height ${before} -> ${after}`);
  await page.selectOption('#size', '9');
});

// The words of the rows in view (up to 20 letters) that wrapping broke across lines.
const splitWords = () =>
  page.$$eval('#spacer .row[data-row] .text', (all) => {
    const split = [];
    for (const x of all) {
      const walker = document.createTreeWalker(x, NodeFilter.SHOW_TEXT);
      for (let node = walker.nextNode(); node; node = walker.nextNode()) {
        for (const m of node.data.matchAll(/(?<![A-Za-z])[A-Za-z]{2,20}(?![A-Za-z])/g)) {
          const range = document.createRange();
          range.setStart(node, m.index);
          range.setEnd(node, m.index + m[0].length);
          if (new Set([...range.getClientRects()].map((r) => Math.round(r.top))).size > 1) split.push(m[0]);
        }
      }
    }
    return split;
  });

test('with wrapping on, both sides of every row stand level and rows do not overlap', async () => {
  await page.click('#next');
  await page.check('#wrap');
  for (let n = 0; n < 5; n++) {
    const shown = await rows();
    for (const r of shown) {
      assert.ok(Math.abs(r.cells[0].top - r.cells[1].top) < 1, `row ${r.row}: ${r.cells[0].top} vs ${r.cells[1].top}`);
      assert.ok(Math.abs(r.cells[0].height - r.cells[1].height) < 1, `row ${r.row} heights`);
    }
    for (let i = 1; i < shown.length; i++) {
      if (shown[i].row === shown[i - 1].row + 1)
        assert.ok(Math.abs(shown[i].top - shown[i - 1].bottom) < 1, `rows ${shown[i].row - 1}/${shown[i].row}`);
    }
    const wide = shown.find((r) => r.cells[0].text.startsWith('wide'));
    if (wide) {
      assert.ok(wide.bottom - wide.top > 40, 'the wide row wraps');
      assert.ok(
        await page.$eval(`#spacer .row[data-row="${wide.row}"] .column`, (t) => t.scrollWidth <= t.clientWidth),
        'a run longer than the column breaks too',
      );
    }
    assert.deepEqual(await splitWords(), [], 'no word is broken across lines');
    await page.keyboard.press('n');
  }
  await page.uncheck('#wrap');
});

test('hiding unchanged stretches folds them into rows that open on click', async () => {
  await page.check('#fold');
  await toTop();
  const fold = page.locator('#spacer .fold').first();
  // Rows 0 to 31 are unchanged; the three before the first difference stay.
  assert.match(await fold.textContent(), /^\u2026 29 unver\u00e4nderte Zeilen ausgeblendet/);
  const before = await page.$$eval('#spacer .fold', (all) => all.length);
  assert.ok(before >= 4, `folds: ${before}`);
  await fold.click();
  assert.equal(await page.$$eval('#spacer .fold', (all) => all.length), before - 1);
  const numbers = (await rows()).map((r) => r.cells[0].number);
  for (let n = 3; n <= 33; n++) assert.ok(numbers.includes(String(n)), `line ${n} shown again`);
  await page.uncheck('#fold');
  assert.equal(await page.$$eval('#spacer .fold', (all) => all.length), 0);
});

test("printing lays the shown rows out side by side in the page's flow", { skip: NO_MEDIA }, async () => {
  await page.evaluate(() => window.dispatchEvent(new Event('beforeprint')));
  await page.emulateMedia({ media: 'print' });
  const laid = await page.$$eval('#spacer .row[data-row]', (all) =>
    all.map((r) => {
      const [a, b] = [...r.children].map((c) => c.getBoundingClientRect());
      return { position: getComputedStyle(r).position, level: Math.abs(a.top - b.top) < 1 && a.right <= b.left + 1 };
    }),
  );
  assert.ok(laid.length > 100, 'every row of this small report is printed');
  assert.ok(laid.every((r) => r.position === 'static' && r.level));
  assert.equal(await page.$eval('#overview', (o) => getComputedStyle(o).display), 'none');
  await page.emulateMedia({ media: 'screen' });
  await page.evaluate(() => window.dispatchEvent(new Event('afterprint')));
  assert.ok((await rows()).length < laid.length);
});

test('every byte value reaches the page as its character set decodes it', async () => {
  const bytes = [];
  for (let b = 0; b < 256; b++) if (b !== 0x0a && b !== 0x1a) bytes.push(b);
  const line = Buffer.from(bytes);
  const cases = [
    // Without a code page, bytes that are not UTF-8 make the page Windows-1252.
    { env: { LC_ALL: 'C' }, charset: 'windows-1252' },
    { env: { LC_ALL: 'C.UTF-8' }, charset: 'utf-8' },
  ];
  for (const { env, charset } of cases) {
    const before = seen.errors.length;
    const report = await openReportOf(Buffer.concat([Buffer.from('x\n'), line, Buffer.from('\n')]), 'x\n', { env });
    assert.ok(report.html.includes(Buffer.from(`<meta charset="${charset}">`)), charset);
    const shown = await report.page.$eval('#spacer .row[data-row="1"] .side .text', (x) => x.textContent);
    // Firefox reports bytes that are no UTF-8 in a UTF-8 page, as this one has on purpose.
    if (firefoxPath && charset === 'utf-8')
      seen.errors.splice(before).forEach((m) => assert.match(m, /character encoding/));
    // Controls are shown as their pictures; the line end byte 0x0d inside the line stays one.
    // Node's decoder reads windows-1252 as Latin-1; the browser's is the page's own.
    const decoded = await report.page.evaluate(
      ([name, all]) => new TextDecoder(name).decode(new Uint8Array(all)),
      [charset, bytes],
    );
    const want = decoded
      // eslint-disable-next-line no-control-regex -- the page shows control characters as pictures
      .replace(/[\x00-\x08\x0a-\x1f\x7f]/g, (c) =>
        String.fromCharCode(c === '\x7f' ? 0x2421 : 0x2400 + c.charCodeAt(0)),
      );
    assert.equal(shown, want, charset);
    await report.page.close();
  }
});

test('text that does not count is marked and is no changed word', async () => {
  // Characters of two and four bytes before the ignored parts: the block gives bytes.
  const { page: p } = await openReportOf(
    '\u00fcber \u{1f600} 12:30 the cat sat\nbuild 1234 ok\n',
    '\u00fcber \u{1f600} 13:45 the dog sat\nbuild 9876 ok\n',
    { env: { LC_ALL: 'C.UTF-8' }, args: ['--ignore-matching', '[0-9]{2}:[0-9]{2}|[0-9]{4}'] },
  );
  const cells = await p.$$eval('#spacer .row[data-row] .side', (all) =>
    all.map((c) => ({
      changed: [...c.querySelectorAll('.changed')].map((x) => x.textContent),
      ignored: [...c.querySelectorAll('.ign')].map((x) => x.textContent),
      line: [...c.querySelectorAll('.ign')].map((x) => getComputedStyle(x).textDecorationLine),
    })),
  );
  assert.deepEqual(cells, [
    { changed: ['cat'], ignored: ['12:30'], line: ['underline'] },
    { changed: ['dog'], ignored: ['13:45'], line: ['underline'] },
    { changed: [], ignored: ['1234'], line: ['underline'] },
    { changed: [], ignored: ['9876'], line: ['underline'] },
  ]);
  await p.close();
});

test('a line beyond the shown length is cut with a note and kept out of the page', async () => {
  const p = (await openReportOf('x'.repeat(300000) + 'END\n', 'y\n')).page;
  const cell = await p.$eval('#spacer .row[data-row="0"] .side', (s) => ({
    note: s.querySelector('.cut').textContent,
    total: s.textContent.length,
  }));
  assert.match(cell.note, /gek\u00fcrzt: 200\.003 weitere Zeichen nicht angezeigt/);
  assert.ok(cell.total < 100100, `characters in the page: ${cell.total}`);
  await findIn(p, 'END');
  assert.equal(await textIn(p, '#hits'), '1 / 1 Treffer', 'search still sees the whole line');
  await p.close();
});

test('search stops counting at a million hits and marks a bounded number per row', async () => {
  const p = (await openReportOf('a'.repeat(1100000) + '\n', 'b\n')).page;
  await findIn(p, 'a');
  assert.equal(await textIn(p, '#hits'), '1 / 1000000+ Treffer');
  assert.equal(await p.$$eval('.hit', (all) => all.length), 1000);
  await p.close();
});

test('two empty inputs give a page that says so', async () => {
  const p = (await openReportOf('', '', { ready: '#spacer .empty' })).page;
  assert.equal(await textIn(p, '#result'), 'Ergebnis: Keine Unterschiede');
  assert.equal(await textIn(p, '#position'), '\u2013 / 0 Abschnitte');
  assert.equal(await p.$$eval('#kinds', (all) => all.length), 0);
  await p.click('#next');
  await findIn(p, 'x');
  await p.check('#wrap');
  await p.check('#fold');
  assert.equal(await textIn(p, '#hits'), 'keine Treffer');
  await p.close();
});

// What the page shows of every row, all rows laid out as for printing.
const allShown = (p) =>
  p.evaluate(() => {
    window.dispatchEvent(new Event('beforeprint'));
    const shown = [...document.querySelectorAll('#spacer .row[data-row]')].map((r) =>
      [...r.children].map((c) => [
        c.className,
        c.querySelector('.number').textContent,
        c.querySelector('.number').title,
        c.querySelector('.text').innerHTML,
      ]),
    );
    window.dispatchEvent(new Event('afterprint'));
    return shown;
  });

test(
  'a report cut into many data blocks shows and finds the same rows',
  { skip: !process.env.TANDEMIX_WRITE_PIECES && 'TANDEMIX_WRITE_PIECES is not set' },
  async () => {
    const shown = [];
    for (const pieceBytes of [1 << 28, 2000]) {
      const file = path.join(work, `pieces-${pieceBytes}.html`);
      const run = require('node:child_process').spawnSync(
        process.env.TANDEMIX_WRITE_PIECES,
        [path.join(work, 'eins.txt'), path.join(work, 'zwei.txt'), String(pieceBytes), file],
        { encoding: 'utf8' },
      );
      assert.equal(run.status, 0, run.stderr);
      const blocks = fs.readFileSync(file, 'latin1').split('class="tandemix-data"').length - 1;
      assert.ok(pieceBytes > 2000 ? blocks === 1 : blocks > 10, `${blocks} blocks`);
      const p = await open(pathToFileURL(file).href);
      await findIn(p, 'unchanged');
      shown.push({
        rows: await allShown(p),
        hits: await textIn(p, '#hits'),
        kinds: await textIn(p, '#kinds'),
      });
      await p.close();
    }
    assert.ok(shown[0].rows.length > 100, `${shown[0].rows.length} rows`);
    assert.equal(shown[0].hits, `1 / ${countIn(allLines(), 'unchanged')} Treffer`);
    assert.deepEqual(shown[1], shown[0]);
  },
);

test('the first rows show while the browser still reads the rest, which search then finds', async () => {
  const lines = (second) =>
    Array.from({ length: 3000 }, (_, i) => {
      if (i === 5 && second) return 'an early change';
      if (i === 2500) return second ? 'a late change, spaetwort' : 'a late line';
      return `line ${i}`;
    }).join('\n') + '\n';
  const { html } = reportOf(lines(false), lines(true));
  // Served up to the data after the script; the rest when the test lets it go.
  const cut = html.indexOf('<script type="application/json"', html.indexOf('</script>\r\n<script>\r\n'));
  assert.ok(cut > 0, 'a data block after the script');
  await withHeldPage(browser, html, cut, async (p, release) => {
    await p.waitForSelector('#spacer .row[data-row="5"]');
    const early = await rows(p);
    assert.equal(early[0].cells[0].text, 'line 0');
    assert.equal(early[5].cells[1].text, 'an early change');
    assert.equal(await p.evaluate(() => document.readyState), 'loading');
    assert.equal(await textIn(p, '#position'), '\u2013 / \u2026 Abschnitte');
    assert.equal(await p.$('#kinds'), null, 'counted once every row is in');
    await findIn(p, 'spaetwort');
    assert.equal(await textIn(p, '#hits'), 'keine Treffer');

    release();
    await p.waitForFunction(() => performance.getEntriesByName('tandemix-rows-complete').length);
    assert.equal(await textIn(p, '#hits'), '1 Treffer', 'searched again over all rows');
    await p.press('#query', 'Enter');
    const found = (await rows(p)).find((r) => r.row === 2500);
    assert.equal(found.cells[1].text, 'a late change, spaetwort');
    assert.equal(found.cells[1].number, '2501');
    assert.equal(await textIn(p, '#kinds'), '(2 ge\u00e4ndert, 0 hinzugef\u00fcgt, 0 gel\u00f6scht)');
    await p.click('#next');
    assert.equal(await textIn(p, '#position'), '2 / 2 Abschnitte');
  });
});

test('a page that cannot read its rows says so instead of staying empty', async () => {
  // What a browser does with a data block longer than its longest string.
  const init = () =>
    Object.defineProperty(HTMLScriptElement.prototype, 'textContent', {
      get() {
        throw new RangeError('Invalid string length');
      },
    });
  const p = await open(pathToFileURL(path.join(reportDir, REPORT)).href, '#failure', { init });
  const failure = p.locator('#failure');
  assert.match(await failure.textContent(), /^Der Bericht ist zu gro\u00df f\u00fcr diesen Browser\./);
  assert.ok(await failure.isVisible());
  await p.close();
});

test('no page error, no console error, no dialog', () => {
  assert.deepEqual(seen, { errors: [], dialogs: [] });
});
