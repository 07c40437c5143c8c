// The rows, read once from the page's data blocks, one block at a time: each block is
// shorter than the browser's longest string, which all of a big report's rows are not.
/* global codes */
/* exported rows */

const rows = (function (document, codes) {
  // What `own` holds for a row that has no line on its side, and for one that shows the
  // first side's text.
  const PLACEHOLDER = -1;
  const SHARED = -2;

  const dataBlocks = [...document.querySelectorAll('script.tandemix-data')];
  let data = JSON.parse(dataBlocks[0].textContent);
  const count = data.rows;
  const sides = [makeSide(), makeSide()];
  for (let b = 0; b < dataBlocks.length; b++) {
    if (b > 0) data = JSON.parse(dataBlocks[b].textContent);
    dataBlocks[b].remove();
    for (let s = 0; s < 2; s++) decodeBlock(sides[s], s);
  }
  data = null;
  for (const side of sides) side.firstOwn.push(side.ownCount);

  // A side keeps its texts as the strings of the data blocks, one per block; `own` gives a
  // row's text number, or PLACEHOLDER, or SHARED when the row shows the first side's text.
  // Text k starts at starts[k] in the string of the block whose first text number,
  // firstOwn[block], is the last not above k. `mark` holds each row's mark (codes.changed
  // and so on), `line` its line number, `section` the titles of sections by their first row.
  function makeSide() {
    return {
      texts: [],
      firstOwn: [],
      mark: new Uint8Array(count),
      line: new Uint32Array(count),
      own: new Int32Array(count),
      ownRow: new Int32Array(count),
      starts: new Uint32Array(count + 1),
      ownCount: 0,
      section: new Map(),
      tabs: null,
    };
  }

  function decodeBlock(side, s) {
    const rowCodes = data.marks[s];
    const joined = data.texts[s];
    const numbers = data.lines[s];
    const breaks = data.breaks[s];
    const titles = data.sections[s];
    const { mark, line, own, ownRow, starts } = side;
    side.firstOwn.push(side.ownCount);
    side.texts.push(joined);
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
      line[r] = next++;
    }
    starts[k] = at;
    side.ownCount = k;
    for (let i = 0; i + 1 < titles.length; i += 2) side.section.set(titles[i], titles[i + 1]);
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

  const sectionAt = new Uint8Array(count);
  for (const side of sides) for (const r of side.section.keys()) if (r < count) sectionAt[r] = 1;

  // A row differs when either side is marked; a run of such rows is one difference.
  const differs = new Uint8Array(count);
  const blockStarts = [];
  const blockEnds = [];
  for (let r = 0; r < count; r++) {
    if (sides[0].mark[r] || sides[1].mark[r]) {
      differs[r] = 1;
      if (r === 0 || !differs[r - 1]) blockStarts.push(r);
    } else if (r > 0 && differs[r - 1]) {
      blockEnds.push(r);
    }
  }
  if (blockEnds.length < blockStarts.length) blockEnds.push(count);

  let maxNumber = 0;
  for (const side of sides) for (let r = 0; r < count; r++) if (side.line[r] > maxNumber) maxNumber = side.line[r];

  return {
    // The number of rows, and per side the decoded rows as makeSide describes them (read
    // only).
    count,
    sides,
    present,
    shared,
    textOf,
    lengthOf,
    ownLength,
    hasTab,
    // Per row: 1 where a section starts, 1 where the row differs.
    sectionAt,
    differs,
    // The differences (runs of differing rows) as [start, end) row ranges.
    blockStarts,
    blockEnds,
    blockCount: blockStarts.length,
    // The largest line number on either side.
    maxNumber,
  };
})(document, codes);
