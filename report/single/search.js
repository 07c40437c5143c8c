// Search over all rows, taken literally.

// Search stops counting here, so that a one-letter search in a huge report stays quick;
// the count then reads "1000000+".
const MAX_HITS = 1000000;
const MARKS_PER_CELL = 1000;

let hits = { row: new Int32Array(0), side: new Uint8Array(0), from: new Int32Array(0), to: new Int32Array(0), count: 0, more: false };
let hitCurrent = -1;
let searched = null;
let searchTimer = 0;

function escapeForPattern(text) {
  return text.replace(/[\\^$.*+?()[\]{}|/]/g, '\\$&');
}

// Hits of the query in one side's own texts, as [row, from, to, ...]; the query is taken
// literally. It cannot hold a line feed, so no hit runs from one row into the next.
function searchOwn(s, query, fuzzy, limit) {
  const side = sides[s];
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

function runSearch() {
  clearTimeout(searchTimer);
  const query = queryInput.value;
  const fuzzy = document.querySelector('input[name="mode"]:checked').value === 'fuzzy';
  const key = (fuzzy ? 'f' : 'e') + query;
  if (key === searched) return;
  searched = key;
  hitCurrent = -1;
  if (!query) {
    hits = { row: new Int32Array(0), side: new Uint8Array(0), from: new Int32Array(0), to: new Int32Array(0), count: 0, more: false };
  } else {
    const first = searchOwn(0, query, fuzzy, MAX_HITS);
    // Rows that show the first side's text have its hits on the second side too.
    const shared = [];
    for (let i = 0; i < first.length; i += 3) {
      if (sides[1].own[first[i]] === SHARED) shared.push(first[i], first[i + 1], first[i + 2]);
    }
    const second = mergeByRow(searchOwn(1, query, fuzzy, Math.max(0, MAX_HITS - (first.length + shared.length) / 3)), shared);
    hits = mergeHits(first, second);
    hits.more = hits.count >= MAX_HITS;
  }
  showHits();
  refresh();
}

// Hits in row order, the first side before the second within a row.
function mergeHits(first, second) {
  const count = (first.length + second.length) / 3;
  const merged = { row: new Int32Array(count), side: new Uint8Array(count), from: new Int32Array(count), to: new Int32Array(count), count, more: false };
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

function firstHitFrom(r) {
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
  for (let k = firstHitFrom(r); k < hits.count && hits.row[k] === r; k++) {
    if (hits.side[k] !== s || hits.from[k] >= SHOWN_CHARACTERS) continue;
    if (marks.length < MARKS_PER_CELL * 3 || k === hitCurrent) marks.push(hits.from[k], hits.to[k], k === hitCurrent ? 1 : 0);
  }
  return marks;
}

function showHits() {
  const label = $('hits');
  if (!queryInput.value) label.textContent = '';
  else if (!hits.count) label.textContent = 'keine Treffer';
  else {
    const count = hits.more ? hits.count + '+' : String(hits.count);
    label.textContent = (hitCurrent >= 0 ? hitCurrent + 1 + ' / ' : '') + count + ' Treffer';
  }
}

function stepHit(direction) {
  runSearch();
  if (!hits.count) return;
  if (hitCurrent < 0) {
    const first = firstHitFrom(firstRowInView());
    hitCurrent = direction > 0 ? first % hits.count : (first - 1 + hits.count) % hits.count;
  } else {
    hitCurrent = (hitCurrent + direction + hits.count) % hits.count;
  }
  const r = hits.row[hitCurrent];
  reveal(r);
  const top = rowTop(r);
  if (top < posY || top + heights[itemOfRow[r]] > posY + view.clientHeight) {
    setY(top - view.clientHeight / 3);
  }
  refresh();
  showHits();
  showCurrentHit();
}

// Without wrapping a hit may lie beyond the right edge: bring it into view.
function showCurrentHit() {
  if (state.wrap) return;
  const hit = spacer.querySelector('.hit.cur');
  if (!hit) return;
  const column = hit.closest('.t');
  const left = hit.offsetLeft;
  const width = column.clientWidth;
  if (left < state.sx + 8 || left + hit.offsetWidth > state.sx + width - 8) {
    hbar.scrollLeft = Math.max(0, left - width / 3);
    state.sx = hbar.scrollLeft;
    view.style.setProperty('--sx', String(state.sx));
  }
}

queryInput.addEventListener('input', () => {
  clearTimeout(searchTimer);
  searchTimer = setTimeout(runSearch, 250);
});
queryInput.addEventListener('keydown', (event) => {
  if (event.key === 'Enter') {
    event.preventDefault();
    stepHit(event.shiftKey ? -1 : 1);
  }
});
for (const radio of document.querySelectorAll('input[name="mode"]')) radio.addEventListener('change', runSearch);
$('hitnext').addEventListener('click', () => stepHit(1));
$('hitprev').addEventListener('click', () => stepHit(-1));
