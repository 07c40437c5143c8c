// The search's hits over all rows, the query taken literally.
/* global page, rows */
/* exported finder */

const finder = (function (page, rows) {
  // Search stops counting here, so that a one-letter search in a huge report stays quick;
  // the count then reads "1000000+".
  const MAX_HITS = 1000000;
  const MARKS_PER_CELL = 1000;

  const none = () => ({
    row: new Int32Array(0),
    side: new Uint8Array(0),
    from: new Int32Array(0),
    to: new Int32Array(0),
    count: 0,
    more: false,
  });
  // The hits in row order, the first side before the second within a row, and the current
  // hit (-1 for none).
  let hits = none();
  let current = -1;
  // The query and mode last searched.
  let searched = null;

  function escapeForPattern(text) {
    return text.replace(/[\\^$.*+?()[\]{}|/]/g, '\\$&');
  }

  // Hits of the query in one side's own texts, as [row, from, to, ...]; the query is taken
  // literally. It cannot hold a line feed, so no hit runs from one row into the next.
  function searchOwn(s, query, fuzzy, limit) {
    const side = rows.sides[s];
    const found = [];
    for (let block = 0; block < side.texts.length && found.length < limit * 3; block++) {
      searchBlock(side, block, query, fuzzy, limit, found);
    }
    return found;
  }

  function searchBlock(side, block, query, fuzzy, limit, found) {
    const text = side.texts[block];
    const last = side.firstOwn[block + 1] - 1;
    let k = side.firstOwn[block];
    const add = (position, length) => {
      while (k < last && side.starts[k + 1] <= position) k++;
      const from = position - side.starts[k];
      found.push(side.ownRow[k], from, from + length);
    };
    if (!fuzzy) {
      for (let p = text.indexOf(query); p >= 0 && found.length < limit * 3; p = text.indexOf(query, p + query.length)) {
        add(p, query.length);
      }
    } else {
      const pattern = new RegExp(escapeForPattern(query), 'giu');
      for (let m = pattern.exec(text); m && found.length < limit * 3; m = pattern.exec(text)) {
        if (!m[0].length) {
          pattern.lastIndex++;
          continue;
        }
        add(m.index, m[0].length);
      }
    }
  }

  // Two lists of [row, from, to, ...] as one, in row order.
  function mergeByRow(a, b) {
    if (!b.length) return a;
    const merged = [];
    let i = 0;
    let j = 0;
    while (i < a.length || j < b.length) {
      const takeA = j >= b.length || (i < a.length && (a[i] < b[j] || (a[i] === b[j] && a[i + 1] <= b[j + 1])));
      const list = takeA ? a : b;
      const at = takeA ? i : j;
      merged.push(list[at], list[at + 1], list[at + 2]);
      if (takeA) i += 3;
      else j += 3;
    }
    return merged;
  }

  // Hits in row order, the first side before the second within a row.
  function mergeHits(first, second) {
    const count = (first.length + second.length) / 3;
    const merged = {
      row: new Int32Array(count),
      side: new Uint8Array(count),
      from: new Int32Array(count),
      to: new Int32Array(count),
      count,
      more: false,
    };
    let i = 0;
    let j = 0;
    for (let k = 0; k < count; k++) {
      const takeFirst = j >= second.length || (i < first.length && first[i] <= second[j]);
      const list = takeFirst ? first : second;
      const at = takeFirst ? i : j;
      merged.row[k] = list[at];
      merged.side[k] = takeFirst ? 0 : 1;
      merged.from[k] = list[at + 1];
      merged.to[k] = list[at + 2];
      if (takeFirst) i += 3;
      else j += 3;
    }
    return merged;
  }

  // Rows that come in make the last search's hits incomplete.
  rows.whenComplete(() => {
    searched = null;
  });

  // Finds the query's hits; false when the same query was searched last.
  function find(query, fuzzy) {
    const key = (fuzzy ? 'f' : 'e') + query;
    if (key === searched) return false;
    searched = key;
    current = -1;
    if (!query) {
      hits = none();
      return true;
    }
    const first = searchOwn(0, query, fuzzy, MAX_HITS);
    // Rows that show the first side's text have its hits on the second side too.
    const shared = [];
    for (let i = 0; i < first.length; i += 3) {
      if (rows.shared(1, first[i])) shared.push(first[i], first[i + 1], first[i + 2]);
    }
    const second = mergeByRow(
      searchOwn(1, query, fuzzy, Math.max(0, MAX_HITS - (first.length + shared.length) / 3)),
      shared,
    );
    hits = mergeHits(first, second);
    hits.more = hits.count >= MAX_HITS;
    return true;
  }

  // The first hit in row r or after it.
  function firstFrom(r) {
    let low = 0;
    let high = hits.count;
    while (low < high) {
      const mid = (low + high) >> 1;
      if (hits.row[mid] < r) low = mid + 1;
      else high = mid;
    }
    return low;
  }

  // The hits of one side of row r, as [from, to, current, ...].
  // A row of one letter repeated can hold a hit per character: only so many are marked in
  // one cell, and the current one, so that the row stays a few elements.
  function hitsIn(r, s) {
    if (!hits.count) return null;
    const marks = [];
    for (let k = firstFrom(r); k < hits.count && hits.row[k] === r; k++) {
      if (hits.side[k] !== s || hits.from[k] >= page.shownCharacters) continue;
      if (marks.length < MARKS_PER_CELL * 3 || k === current) {
        marks.push(hits.from[k], hits.to[k], k === current ? 1 : 0);
      }
    }
    return marks;
  }

  return {
    find,
    hitsIn,
    firstFrom,
    count: () => hits.count,
    more: () => hits.more,
    rowOf: (k) => hits.row[k],
    current: () => current,
    setCurrent: (k) => {
      current = k;
    },
  };
})(page, rows);
