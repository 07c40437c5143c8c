// The rows, read from the page's data blocks one block at a time: each block is shorter
// than the browser's longest string, which all of a big report's rows are not. The first
// block holds the rows of the first screens and stands before the script; the others follow
// it, so that the page shows its first rows while the browser still reads the rest, and
// takes the rest once the document is read whole.
/* global codes, failure */
/* exported makeRows, rows */

const makeRows = (function (codes, document) {
  // What `own` holds for a row that has no line on its side (or is not read yet), and for
  // one that shows the first side's text.
  const PLACEHOLDER = -1;
  const SHARED = -2;

  // The rows of one comparison of `count` rows, taken a block at a time in row order with
  // add(block) (a block's object as report/ReportData.h describes it); finish() says that
  // the last block is in.
  function makeRows(count) {
    const sides = [makeSide(), makeSide()];
    // Rows [0, loaded) are read.
    let loaded = 0;
    let complete = false;
    const completed = [];
    let seenNumber = 0;
    const sectionAt = new Uint8Array(count);
    // A row differs when either side is marked; a run of such rows is one difference.
    const differs = new Uint8Array(count);
    const blockStarts = [];
    const blockEnds = [];

    // A side keeps its texts as the strings of the data blocks, one per block; `own` gives a
    // row's text number, or PLACEHOLDER, or SHARED when the row shows the first side's text.
    // Text k starts at starts[k] in the string of the block whose first text number,
    // firstOwn[block], is the last not above k; firstOwn ends with the number of texts.
    // `mark` holds each row's mark (codes.changed and so on), `line` its line number,
    // `section` the titles of sections by their first row, `ignored` the parts that do not
    // count by row, as [begin, end, ...] in bytes of the row's text.
    function makeSide() {
      return {
        texts: [],
        firstOwn: [0],
        mark: new Uint8Array(count),
        line: new Uint32Array(count),
        own: new Int32Array(count).fill(PLACEHOLDER),
        ownRow: new Int32Array(count),
        starts: new Uint32Array(count + 1),
        ownCount: 0,
        section: new Map(),
        ignored: new Map(),
        tabs: null,
      };
    }

    function add(data) {
      if (data.from !== loaded || data.to > count) throw new Error('Datenblock au\u00dferhalb der Reihe');
      for (let s = 0; s < 2; s++) decodeBlock(sides[s], s, data);
      for (let r = data.from; r < data.to; r++) {
        if (!(sides[0].mark[r] || sides[1].mark[r])) continue;
        differs[r] = 1;
        if (r > 0 && differs[r - 1]) {
          blockEnds[blockEnds.length - 1] = r + 1;
        } else {
          blockStarts.push(r);
          blockEnds.push(r + 1);
        }
      }
      loaded = data.to;
    }

    function finish() {
      complete = true;
      for (const listener of completed.splice(0)) listener();
    }

    function decodeBlock(side, s, data) {
      const rowCodes = data.marks[s];
      const joined = data.texts[s];
      const numbers = data.lines[s];
      const breaks = data.breaks[s];
      const titles = data.sections[s];
      const { mark, line, own, ownRow, starts } = side;
      side.texts.push(joined);
      side.tabs = null;
      let k = side.ownCount;
      let at = 0;
      let n = 0;
      let b = 0;
      let next = 1;
      for (let r = data.from; r < data.to; r++) {
        const c = rowCodes.charCodeAt(r - data.from);
        if (c >= codes.placeholder) {
          mark[r] = c - codes.placeholder;
          own[r] = PLACEHOLDER;
          continue;
        }
        if (c >= codes.sameText) {
          mark[r] = c - codes.sameText;
          own[r] = SHARED;
        } else {
          mark[r] = c - codes.line;
          own[r] = k;
          ownRow[k] = r;
          starts[k++] = at;
          let feeds = 1;
          if (b < breaks.length && breaks[b] === r) {
            feeds += breaks[b + 1];
            b += 2;
          }
          while (feeds-- > 0) at = joined.indexOf('\n', at) + 1 || joined.length;
        }
        if (n < numbers.length && numbers[n] === r) {
          next = numbers[n + 1];
          n += 2;
        }
        if (next > seenNumber) seenNumber = next;
        line[r] = next++;
      }
      starts[k] = at;
      side.ownCount = k;
      side.firstOwn.push(k);
      for (let i = 0; i + 1 < titles.length; i += 2) {
        side.section.set(titles[i], titles[i + 1]);
        if (titles[i] < count) sectionAt[titles[i]] = 1;
      }
      const ignored = data.ignored ? data.ignored[s] : [];
      for (let i = 0; i + 2 < ignored.length; i += 3) {
        let spans = side.ignored.get(ignored[i]);
        if (!spans) side.ignored.set(ignored[i], (spans = []));
        spans.push(ignored[i + 1], ignored[i + 2]);
      }
    }

    // The block that holds text k of a side.
    function blockOf(side, k) {
      let low = 0;
      let high = side.texts.length - 1;
      while (low < high) {
        const mid = (low + high + 1) >> 1;
        if (side.firstOwn[mid] <= k) low = mid;
        else high = mid - 1;
      }
      return low;
    }

    // Where text k ends in its block's string, after its line feed.
    function ownEnd(side, k, block) {
      return k + 1 < side.firstOwn[block + 1] ? side.starts[k + 1] : side.texts[block].length;
    }

    function ownLength(side, k) {
      return ownEnd(side, k, blockOf(side, k)) - side.starts[k] - 1;
    }

    function present(s, r) {
      return sides[s].own[r] !== PLACEHOLDER;
    }

    function shared(s, r) {
      return sides[s].own[r] === SHARED;
    }

    function textOf(s, r) {
      const side = sides[s];
      const o = side.own[r];
      if (o >= 0) {
        const block = blockOf(side, o);
        return side.texts[block].slice(side.starts[o], ownEnd(side, o, block) - 1);
      }
      return o === SHARED ? textOf(0, r) : '';
    }

    function lengthOf(s, r) {
      const side = sides[s];
      const o = side.own[r];
      if (o >= 0) return ownLength(side, o);
      return o === SHARED ? lengthOf(0, r) : 0;
    }

    // The parts of row r's text that do not count, as [begin, end, ...] in characters of
    // textOf(s, r), or null. The block gives bytes: under UTF-8 a character takes one to
    // four, under a single-byte character set one.
    function ignoredOf(s, r) {
      const bytes = sides[s].ignored.get(r);
      if (!bytes) return null;
      return /^utf-?8$/i.test(document.characterSet || '') ? charactersAt(textOf(s, r), bytes) : bytes;
    }

    function charactersAt(text, bytes) {
      const at = [];
      let i = 0;
      let byte = 0;
      for (const offset of bytes) {
        while (i < text.length && byte < offset) {
          const c = text.charCodeAt(i);
          const pair = c >= 0xd800 && c < 0xdc00 && i + 1 < text.length;
          byte += c < 0x80 ? 1 : c < 0x800 ? 2 : pair ? 4 : 3;
          i += pair ? 2 : 1;
        }
        at.push(i);
      }
      return at;
    }

    // Which rows hold a tab, found once with one scan of each of the side's strings.
    function hasTab(s, r) {
      const side = sides[s];
      const o = side.own[r];
      if (o === SHARED) return hasTab(0, r);
      if (o < 0) return false;
      if (!side.tabs) {
        side.tabs = new Uint8Array(side.ownCount);
        side.texts.forEach((text, block) => {
          const last = side.firstOwn[block + 1] - 1;
          let k = side.firstOwn[block];
          for (let p = text.indexOf('\t'); p >= 0; p = text.indexOf('\t', p + 1)) {
            while (k < last && side.starts[k + 1] <= p) k++;
            side.tabs[k] = 1;
          }
        });
      }
      return side.tabs[o] === 1;
    }

    return {
      // The number of rows, and per side the decoded rows as makeSide describes them (read
      // only).
      count,
      sides,
      add,
      finish,
      // Rows [0, loaded) are read; the others show as placeholders until they are.
      get loaded() {
        return loaded;
      },
      // Every block is in.
      get complete() {
        return complete;
      },
      // Calls fn once when the last block is in; parts that sum up all rows do their sums
      // again then.
      whenComplete(fn) {
        if (!complete) completed.push(fn);
      },
      present,
      shared,
      textOf,
      lengthOf,
      ownLength,
      hasTab,
      ignoredOf,
      // Per row: 1 where a section starts, 1 where the row differs.
      sectionAt,
      differs,
      // The differences (runs of differing rows) as [start, end) row ranges.
      blockStarts,
      blockEnds,
      get blockCount() {
        return blockStarts.length;
      },
      // The largest line number on either side; until every block is in, at least the rows'
      // count, which it mostly is, so that the number column keeps its width.
      get maxNumber() {
        return complete ? seenNumber : Math.max(seenNumber, count);
      },
    };
  }

  return makeRows;
})(codes, document);

// This page's rows: the blocks the page holds now, and the others once it is read whole.
const rows = (function (document, makeRows, failure) {
  let pageRows = null;
  function takeBlocks() {
    for (const element of document.querySelectorAll('script.tandemix-data')) {
      const data = JSON.parse(element.textContent);
      element.remove();
      if (!pageRows) pageRows = makeRows(data.rows);
      pageRows.add(data);
    }
  }
  takeBlocks();
  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', () => {
      try {
        takeBlocks();
        pageRows.finish();
      } catch (error) {
        failure.show(error);
      }
    });
  } else {
    pageRows.finish();
  }
  return pageRows;
})(document, makeRows, failure);
