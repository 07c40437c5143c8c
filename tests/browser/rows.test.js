'use strict';
// The one-file report's row decoder (report/single/rows.js, with the generated row codes)
// run on the data blocks the C++ writer makes, against the rows the writer was given.
// TANDEMIX_WRITE_ROWS names the writer of the cases, TANDEMIX_CODES_PART the generated part.

const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { spawnSync } = require('node:child_process');

const write = spawnSync(process.env.TANDEMIX_WRITE_ROWS, { encoding: 'latin1', maxBuffer: 1 << 28 });
assert.equal(write.status, 0, write.stderr);
const cases = JSON.parse(write.stdout);
const source = [
  fs.readFileSync(process.env.TANDEMIX_CODES_PART, 'utf8'),
  fs.readFileSync(path.join(__dirname, '..', '..', 'report', 'single', 'rows.js'), 'utf8'),
].join('\n');

// Runs the parts on a page that holds only the data blocks; gives the rows part.
function decode(blocks, characterSet) {
  const removed = [];
  const elements = blocks.map((text) => ({ textContent: text, remove: () => removed.push(text) }));
  const document = {
    querySelectorAll: (selector) => (selector === 'script.tandemix-data' ? elements : []),
    characterSet,
  };
  const failure = {
    show: (error) => {
      throw error;
    },
  };
  const page = vm.createContext({ document, failure });
  vm.runInContext(source + '\nthis.rows = rows;', page);
  assert.equal(removed.length, blocks.length, 'every data block is dropped once read');
  return page.rows;
}

// Each side's rows as the page shows them.
function shown(rows) {
  return [0, 1].map((s) =>
    Array.from({ length: rows.count }, (_, r) => {
      const present = rows.present(s, r);
      return {
        line: present,
        text: rows.textOf(s, r),
        mark: rows.sides[s].mark[r],
        number: present ? rows.sides[s].line[r] : 0,
        section: rows.sides[s].section.get(r) ?? null,
        ignored: [...(rows.ignoredOf(s, r) || [])],
      };
    }),
  );
}

// The differences: runs of rows marked on either side, as [starts, ends].
function runs(sides) {
  const starts = [];
  const ends = [];
  sides[0].forEach((row, r) => {
    if (!row.mark && !sides[1][r].mark) return;
    if (ends.length && ends[ends.length - 1] === r) {
      ends[ends.length - 1] = r + 1;
    } else {
      starts.push(r);
      ends.push(r + 1);
    }
  });
  return [starts, ends];
}

// Both sides have as many rows: the shorter is filled with placeholders.
function expected(sides) {
  const count = Math.max(sides[0].length, sides[1].length);
  const placeholder = { line: false, text: '', mark: 0, number: 0, section: null, ignored: [] };
  return sides.map((rows) => Array.from({ length: count }, (_, r) => rows[r] ?? placeholder));
}

for (const c of cases) {
  test(`${c.name}, blocks of ${c.pieceBytes} bytes`, () => {
    const rows = decode(c.blocks);
    assert.deepEqual(shown(rows), expected(c.expected));
    assert.ok(rows.complete);
    // Runs that go on from one block into the next are one difference.
    assert.deepEqual([[...rows.blockStarts], [...rows.blockEnds]], runs(expected(c.expected)));
    if (c.pieceBytes === 1) assert.equal(c.blocks.length, Math.max(rows.count, 1), 'one row to a block');
  });
}

test('ignored parts are given in bytes and read as characters of a UTF-8 page', () => {
  const codes = codesOf();
  const text = JSON.stringify('\u00fcber \u{1f600} 12 x');
  const block = `{"format":2,"rows":1,"from":0,"to":1,"marks":["${String.fromCharCode(codes.line)}","${String.fromCharCode(codes.placeholder)}"],
"lines":[[],[]],"sections":[[],[]],"breaks":[[],[]],"texts":[${text.slice(0, -1)}\\n",""],"ignored":[[0,11,13],[]]}`;
  assert.deepEqual([...decode([block], 'UTF-8').ignoredOf(0, 0)], [8, 10]);
  assert.deepEqual([...decode([block], 'windows-1252').ignoredOf(0, 0)], [11, 13]);
});

// The generated row codes.
function codesOf() {
  return vm.runInNewContext(fs.readFileSync(process.env.TANDEMIX_CODES_PART, 'utf8') + '\ncodes;');
}
