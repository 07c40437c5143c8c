'use strict';
// Drives the one-file report of two folders (tandemix-cli --report single on folders) in
// Chromium, opened from disk: the tree, the file shown in its frame, stepping across files,
// the keys, the address fragment and the filters.

const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { runCli, withHeldPage, session, until } = require('./browser');

const REPORT = 'Tandemix-Bericht.html';

const lines = (count, edit = -1) =>
  Array.from({ length: count }, (_, i) => (i === edit ? `changed line ${i}` : `line ${i}`)).join('\n') + '\n';

// Two differences in a.txt, one in sub/c.txt; an added, a deleted, an equal and a binary
// file; a file moved into a folder.
const TREE = {
  'a.txt': [lines(80), lines(80, 5).replace('line 60\n', 'line sixty\n')],
  'sub/c.txt': [lines(20), lines(20, 3)],
  'sub/same.txt': ['same\n', 'same\n'],
  'gone.txt': ['old\ntext\n', null],
  'new.txt': [null, 'fresh\n'],
  'data.bin': ['a\0b', 'a\0cd'],
  'moved-from.txt': ['x'.repeat(100) + '\n', null],
  'sub/moved-to.txt': [null, 'x'.repeat(100) + '\n'],
};

let url, page;
const browser = session('tandemix-tree-', { viewport: { width: 1400, height: 900 } }, openTheReport);
const work = browser.work;
const openPage = (address) => browser.open(address, '#tree .entry');

const frame = () => page.frameLocator('#viewer iframe');
const hash = () => page.evaluate(() => decodeURIComponent(window.location.hash));
const shownEntries = () => page.$$eval('#tree .entry .label', (all) => all.map((e) => e.textContent));
const position = () => frame().locator('#position').textContent();

async function openTheReport() {
  for (const [name, contents] of Object.entries(TREE)) {
    contents.forEach((text, side) => {
      if (text === null) return;
      const file = path.join(work, String(side + 1), name);
      fs.mkdirSync(path.dirname(file), { recursive: true });
      fs.writeFileSync(file, text);
    });
  }
  const out = runCli(['--report', 'single', '-o', path.join(work, 'out'), path.join(work, '1'), path.join(work, '2')]);
  assert.equal(out.split('\n')[0], 'Ergebnis: 6 Unterschiede');
  url = pathToFileURL(path.join(work, 'out', REPORT)).href;
  page = await openPage(url);
}

test('the tree lists the differences, folders first, and the summary counts them', async () => {
  assert.deepEqual(await shownEntries(), [
    'sub',
    'c.txt',
    'a.txt',
    'data.bin',
    'gone.txt',
    'moved-from.txt \u2192 sub/moved-to.txt',
    'new.txt',
  ]);
  const summary = await page.textContent('#summary');
  assert.match(summary, /1 gleich, 4 ge\u00e4ndert, 1 nur in 1, 1 nur in 2, 1 verschoben/);
  assert.match(summary, /Zeilen: 1 hinzugef\u00fcgt, 2 gel\u00f6scht, 3 ge\u00e4ndert/);
  assert.equal(await page.textContent('#result'), 'Ergebnis: 6 Unterschiede');
});

test('the first file is shown at the start, with the rows of the one-file report', async () => {
  await frame().locator('#spacer .row[data-row]').first().waitFor();
  assert.equal(await frame().locator('.name').first().textContent(), path.join(work, '1', 'sub/c.txt'));
  assert.equal(await position(), '\u2013 / 1 Abschnitte');
  assert.equal(await page.textContent('#fileposition'), '1 / 6 Dateien');
});

test('n steps through the differences and on into the next file; N and P step by file', async () => {
  await frame().locator('#view').focus();
  await page.keyboard.press('n');
  assert.equal(await position(), '1 / 1 Abschnitte');
  await page.keyboard.press('n');
  await until('a.txt shown', async () => (await hash()) === '#datei=a.txt');
  await until('its first difference', async () => (await position()) === '1 / 2 Abschnitte');
  await page.keyboard.press('p');
  await until('back in c.txt at its last difference', async () => (await hash()) === '#datei=sub/c.txt');
  await until('at its difference', async () => (await position()) === '1 / 1 Abschnitte');
  await page.keyboard.press('Shift+N');
  await until('a.txt by N', async () => (await hash()) === '#datei=a.txt');
  await page.keyboard.press('Shift+N');
  await until('data.bin by N', async () => (await hash()) === '#datei=data.bin');
  // The page shows the entry of the new address after the address has changed.
  await until('its notice', async () => (await page.textContent('#notice')) !== '');
  assert.match(await page.textContent('#notice'), /Bin\u00e4rdateien unterscheiden sich/);
  assert.match(await page.textContent('#notice'), /in 1: 3 Bytes, in 2: 4 Bytes/);
  await page.keyboard.press('Shift+P');
  await until('a.txt by P', async () => (await hash()) === '#datei=a.txt');
});

test('the help lists the keys for the next and the previous file', async () => {
  await frame().locator('#view').focus();
  await page.keyboard.press('?');
  const help = await frame().locator('#help').textContent();
  assert.match(help, /Umschalt\+NN\u00e4chste Datei/);
  assert.match(help, /Umschalt\+PVorige Datei/);
  await page.keyboard.press('Escape');
  assert.ok(await frame().locator('#help').isHidden());
  // Asked for beside the file, the help opens in it too.
  await page.focus('#tree');
  await page.keyboard.press('?');
  assert.ok(await frame().locator('#help').isVisible());
  await page.keyboard.press('Escape');
});

test('the address names the file shown: a link opens it, and Back returns', async () => {
  const other = await openPage(url + '#datei=' + encodeURIComponent('gone.txt'));
  await other.frameLocator('#viewer iframe').locator('#spacer .row[data-row]').first().waitFor();
  const shown = other.frameLocator('#viewer iframe').locator('#spacer .row[data-row]');
  assert.equal(await shown.locator('.side.D').count(), 2, 'a file on one side is all deleted rows');
  assert.equal(await shown.locator('.side.A, .side.C').count(), 0);
  await other.click('#tree .entry:has-text("new.txt")');
  await until('new.txt shown', async () => (await other.evaluate(() => window.location.hash)) === '#datei=new.txt');
  await other.goBack();
  await until('gone.txt again', async () => (await other.evaluate(() => window.location.hash)) === '#datei=gone.txt');
  assert.equal(await other.locator('#tree .entry.sel .label').textContent(), 'gone.txt');
  await other.click('#tree .entry:has-text("moved-from.txt")');
  await until('the move', async () => /verschoben/.test(await other.textContent('#notice')));
  assert.match(await other.textContent('#notice'), /sub\/moved-to\.txt/);
  await other.close();
});

test('the frame shows each file afresh: its rows, its differences, its search, wrapping', async () => {
  for (const file of ['sub/c.txt', 'a.txt', 'sub/c.txt', 'a.txt']) {
    await page.click(`#tree .entry:has-text("${path.basename(file)}")`);
    await until(file, async () => (await hash()) === `#datei=${file}`);
  }
  await until(
    'the rows of a.txt',
    async () => (await frame().locator('.name').first().textContent()) === path.join(work, '1', 'a.txt'),
  );
  assert.equal(await page.locator('#viewer iframe').count(), 1);
  await frame().locator('#view').focus();
  await page.keyboard.press('n');
  await page.keyboard.press('n');
  assert.equal(await position(), '2 / 2 Abschnitte');
  assert.equal(await hash(), '#datei=a.txt');
  const hits = async (query) => {
    await frame().locator('#query').fill(query);
    await frame().locator('#query').press('Enter');
    return frame().locator('#hits').textContent();
  };
  assert.equal(await hits('sixty'), '1 / 1 Treffer');
  assert.equal(await hits('changed line 3'), 'keine Treffer', 'c.txt is gone from the search');
  await frame().locator('#wrap').check();
  assert.ok(await frame().locator('body.wrap').count());
  // The tree wears the colours chosen in the file's page, and keeps them for the next file.
  const background = () => page.evaluate(() => getComputedStyle(document.body).backgroundColor);
  for (const [choice, colour] of [
    ['dark', 'rgb(29, 31, 33)'],
    ['light', 'rgb(255, 255, 255)'],
  ]) {
    await frame().locator('#scheme').selectOption(choice);
    await until(`the tree in ${choice} colours`, async () => (await background()) === colour);
    await page.click('#tree .entry:has-text("c.txt")');
    await until('c.txt', async () => (await hash()) === '#datei=sub/c.txt');
    assert.equal(await background(), colour);
    await page.click('#tree .entry:has-text("a.txt")');
  }
});

test('the tree and the first file show while the browser still reads the rest; the counts follow', async () => {
  const html = fs.readFileSync(path.join(work, 'out', REPORT));
  // Served up to the end of the script; the other files' data and the counts when the test
  // lets them go.
  const cut = html.indexOf('</script>\r\n', html.indexOf('<script>\r\n')) + '</script>\r\n'.length;
  await withHeldPage(browser, html, cut, async (p, release) => {
    const shown = p.frameLocator('#viewer iframe');
    await shown.locator('#spacer .row[data-row]').first().waitFor();
    assert.equal(await shown.locator('.name').first().textContent(), path.join(work, '1', 'sub/c.txt'));
    assert.equal(await p.evaluate(() => document.readyState), 'loading');
    const counts = () => p.$$eval('#tree .entry .lines', (all) => all.map((e) => e.textContent).join(' '));
    assert.equal(await counts(), ' \u2026 \u2026 bin\u00e4r \u2026  \u2026');
    assert.match(await p.textContent('#summary'), /Zeilen: \u2026 hinzugef\u00fcgt/);
    assert.equal(await shown.locator('#result').textContent(), 'Ergebnis: \u2026 Unterschiede');
    // A file whose data is not read yet is shown once it is.
    await p.keyboard.press('Shift+N');
    await until('a.txt waiting', async () => /wird noch gelesen/.test(await p.textContent('#notice')));
    release();
    await until(
      'a.txt shown',
      async () => (await shown.locator('.name').first().textContent()) === path.join(work, '1', 'a.txt'),
    );
    assert.equal(await shown.locator('#result').textContent(), 'Ergebnis: 2 Unterschiede');
    await until('the counts', async () => !(await counts()).includes('\u2026'));
    assert.equal(await counts(), ' +0 \u22120 ~1 +0 \u22120 ~2 bin\u00e4r +0 \u22122 ~0  +1 \u22120 ~0');
    assert.match(await p.textContent('#summary'), /Zeilen: 1 hinzugef\u00fcgt, 2 gel\u00f6scht, 3 ge\u00e4ndert/);
  });
});

test('the filters show every entry, or those whose names hold a text', async () => {
  await page.selectOption('#filter', 'all');
  const all = await shownEntries();
  assert.ok(all.includes('same.txt'), all.join());
  await page.fill('#namefilter', 'c.t');
  assert.deepEqual(await shownEntries(), ['sub', 'c.txt']);
  await page.fill('#namefilter', '');
  await page.selectOption('#filter', 'differences');
  assert.ok(!(await shownEntries()).includes('same.txt'));
  assert.deepEqual(browser.seen.errors, []);
});
