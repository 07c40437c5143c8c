// What is shown and how tall it is: display items (rows, section headers, folded
// stretches), their heights and the measures of the font.

const state = {
  wrap: false,
  fold: false,
  numbers: body.getAttribute('data-line-numbers') !== 'no',
  size: 9,
  sx: 0,
};
const layout = { lh: 16, cw: 8, cols: 80, textWidth: 600, maxColumns: 0 };
const expanded = new Set();
let current = -1;
let posY = 0;
let expectedTop = -1;
let live = new Map();
let printing = false;

// --- display items: rows, section headers and folded stretches ---

let itemCount = 0;
let itemKind = new Uint8Array(0);
let itemFrom = new Int32Array(0);
let itemTo = new Int32Array(0);
const itemOfRow = new Int32Array(rowCount);
let heights = new Float64Array(0);
let tree = null;

function buildItems() {
  const capacity = rowCount * 2 + 1;
  itemKind = new Uint8Array(capacity);
  itemFrom = new Int32Array(capacity);
  itemTo = new Int32Array(capacity);
  let k = 0;
  const push = (kind, from, to) => {
    itemKind[k] = kind;
    itemFrom[k] = from;
    itemTo[k] = to;
    return k++;
  };
  const pushRows = (from, to) => {
    for (let r = from; r < to; r++) itemOfRow[r] = push(ROW, r, r + 1);
  };
  for (let r = 0; r < rowCount;) {
    if (sectionAt[r]) push(SECTION, r, r);
    if (!state.fold || differs[r]) {
      itemOfRow[r] = push(ROW, r, r + 1);
      r++;
      continue;
    }
    let end = r + 1;
    while (end < rowCount && !differs[end] && !sectionAt[end]) end++;
    const from = r + (r > 0 && differs[r - 1] ? CONTEXT_ROWS : 0);
    const to = end - (end < rowCount && differs[end] ? CONTEXT_ROWS : 0);
    if (end - r > 2 * CONTEXT_ROWS && to > from && !expanded.has(from)) {
      pushRows(r, from);
      const fold = push(FOLD, from, to);
      for (let i = from; i < to; i++) itemOfRow[i] = fold;
      pushRows(to, end);
    } else {
      pushRows(r, end);
    }
    r = end;
  }
  itemCount = k;
  estimateHeights();
}

// Prefix sums of the item heights that change one item at a time (a Fenwick tree).
class HeightTree {
  constructor(values) {
    const n = values.length;
    this.n = n;
    this.tree = new Float64Array(n + 1);
    for (let i = 1; i <= n; i++) {
      this.tree[i] += values[i - 1];
      const j = i + (i & -i);
      if (j <= n) this.tree[j] += this.tree[i];
    }
    this.top = 1;
    while (this.top * 2 <= n) this.top *= 2;
    this.total = this.prefix(n);
  }
  add(i, delta) {
    this.total += delta;
    for (i++; i <= this.n; i += i & -i) this.tree[i] += delta;
  }
  // The summed height of the items before item i.
  prefix(i) {
    let sum = 0;
    for (; i > 0; i -= i & -i) sum += this.tree[i];
    return sum;
  }
  // The item that covers offset y.
  find(y) {
    let at = 0;
    for (let step = this.top; step > 0; step >>= 1) {
      if (at + step <= this.n && this.tree[at + step] <= y) {
        at += step;
        y -= this.tree[at];
      }
    }
    return Math.min(at, Math.max(0, this.n - 1));
  }
}

function columnsOf(text) {
  const length = Math.min(text.length, SHOWN_CHARACTERS);
  let column = 0;
  for (let i = 0; i < length; i++) {
    column += text.charCodeAt(i) === 9 ? TAB_SIZE - (column % TAB_SIZE) : 1;
  }
  return column;
}

// The columns row r takes on side s, with the note of a cut line.
function widthOf(s, r) {
  const length = lengthOf(s, r);
  const note = length > SHOWN_CHARACTERS ? 40 : 0;
  return (hasTab(s, r) ? columnsOf(textOf(s, r)) : Math.min(length, SHOWN_CHARACTERS)) + note;
}

// Exact for rows that are plain monospace text; rows in view are measured anyway.
function estimateHeights() {
  heights = new Float64Array(itemCount);
  for (let i = 0; i < itemCount; i++) {
    let h = layout.lh;
    if (state.wrap && itemKind[i] === ROW) {
      const r = itemFrom[i];
      h *= Math.max(1, Math.ceil(Math.max(widthOf(0, r), widthOf(1, r)) / layout.cols));
    }
    heights[i] = h;
  }
  tree = new HeightTree(heights);
  spacer.style.height = Math.min(tree.total, MAX_SPACER) + 'px';
}

// --- measuring the font and the columns ---

// A row of zeros in the rows' font: the width of one character and of a text column.
function makeProbe() {
  const row = document.createElement('div');
  row.className = 'r probe';
  for (let s = 0; s < 2; s++) {
    const cell = document.createElement('div');
    cell.className = 's';
    const number = document.createElement('span');
    number.className = 'n';
    const column = document.createElement('div');
    column.className = 't';
    const text = document.createElement('div');
    text.className = 'x';
    // Kept on one line also while the rows wrap.
    const zeros = document.createElement('span');
    zeros.style.whiteSpace = 'pre';
    zeros.textContent = '0'.repeat(100);
    text.appendChild(zeros);
    column.appendChild(text);
    cell.appendChild(number);
    cell.appendChild(column);
    row.appendChild(cell);
  }
  return row;
}
const probe = makeProbe();

function measureLayout() {
  const px = state.size * 96 / 72;
  layout.lh = Math.ceil(px * 1.35);
  const digits = String(Math.max(1, maxNumber)).length;
  const root = document.documentElement.style;
  root.setProperty('--size', px + 'px');
  root.setProperty('--lh', layout.lh + 'px');
  root.setProperty('--digits', String(digits));
  body.classList.toggle('wrap', state.wrap);
  body.classList.toggle('nonum', !state.numbers);
  spacer.appendChild(probe);
  const zeros = probe.querySelector('.x span');
  const t = probe.querySelector('.t');
  layout.cw = zeros.getBoundingClientRect().width / 100 || px * 0.6;
  const padding = getComputedStyle(t);
  layout.textWidth = t.clientWidth - parseFloat(padding.paddingLeft) - parseFloat(padding.paddingRight);
  probe.remove();
  layout.cols = Math.max(1, Math.floor(layout.textWidth / layout.cw));
  hinner.style.width = hbar.clientWidth + Math.max(0, Math.ceil(layout.maxColumns * layout.cw) + 24 - layout.textWidth) + 'px';
}

function widestColumns() {
  let widest = 0;
  for (let s = 0; s < 2; s++) {
    const side = sides[s];
    for (let k = 0; k < side.ownCount; k++) {
      const r = side.ownRow[k];
      // Tabs can widen a line at most to this; most lines are passed without a look.
      if ((ownLength(side, k) + 1) * TAB_SIZE > widest) widest = Math.max(widest, widthOf(s, r));
    }
  }
  return widest;
}
