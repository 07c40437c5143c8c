// What is shown and how tall it is: display items (rows, section headers, folded
// stretches), their heights and the measures of the font.
/* global page, view, rows */
/* exported layout */

const layout = (function (document, page, view, rows) {
  const ROW = 0;
  const SECTION = 1;
  const FOLD = 2;

  // The measures of the font: a row's height and a character's width in pixels, the
  // columns of text a row has room for, and the widest row's columns.
  const measures = { lineHeight: 16, characterWidth: 8, columns: 80, textWidth: 600, widest: 0 };
  // The first rows of the folded stretches the reader unfolded.
  const expanded = new Set();

  // --- display items: rows, section headers and folded stretches ---

  let itemCount = 0;
  let itemKind = new Uint8Array(0);
  let itemFrom = new Int32Array(0);
  let itemTo = new Int32Array(0);
  const itemOfRow = new Int32Array(rows.count);
  let heights = new Float64Array(0);
  let tree = null;

  function buildItems() {
    const capacity = rows.count * 2 + 1;
    itemKind = new Uint8Array(capacity);
    itemFrom = new Int32Array(capacity);
    itemTo = new Int32Array(capacity);
    const { sectionAt, differs, count } = rows;
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
    for (let r = 0; r < count;) {
      if (sectionAt[r]) push(SECTION, r, r);
      if (!view.fold || differs[r]) {
        itemOfRow[r] = push(ROW, r, r + 1);
        r++;
        continue;
      }
      let end = r + 1;
      while (end < count && !differs[end] && !sectionAt[end]) end++;
      const from = r + (r > 0 && differs[r - 1] ? page.contextRows : 0);
      const to = end - (end < count && differs[end] ? page.contextRows : 0);
      if (end - r > 2 * page.contextRows && to > from && !expanded.has(from)) {
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
    const length = Math.min(text.length, page.shownCharacters);
    let column = 0;
    for (let i = 0; i < length; i++) {
      column += text.charCodeAt(i) === 9 ? page.tabSize - (column % page.tabSize) : 1;
    }
    return column;
  }

  // The columns row r takes on side s, with the note of a cut line.
  function widthOf(s, r) {
    const length = rows.lengthOf(s, r);
    const note = length > page.shownCharacters ? 40 : 0;
    return (rows.hasTab(s, r) ? columnsOf(rows.textOf(s, r)) : Math.min(length, page.shownCharacters)) + note;
  }

  // Exact for rows that are plain monospace text; rows in view are measured anyway.
  function estimateHeights() {
    heights = new Float64Array(itemCount);
    for (let i = 0; i < itemCount; i++) {
      let h = measures.lineHeight;
      if (view.wrap && itemKind[i] === ROW) {
        const r = itemFrom[i];
        h *= Math.max(1, Math.ceil(Math.max(widthOf(0, r), widthOf(1, r)) / measures.columns));
      }
      heights[i] = h;
    }
    tree = new HeightTree(heights);
    fitSpacer();
  }

  // Takes the measured height of item i; false when it was known.
  function setHeight(i, h) {
    if (!h || h === heights[i]) return false;
    tree.add(i, h - heights[i]);
    heights[i] = h;
    return true;
  }

  // Sizes the spacer to the heights taken.
  function fitSpacer() {
    page.spacer.style.height = Math.min(tree.total, page.maxSpacer) + 'px';
  }

  // --- measuring the font and the columns ---

  // A row of zeros in the rows' font: the width of one character and of a text column.
  function makeProbe() {
    const row = document.createElement('div');
    row.className = 'row probe';
    for (let s = 0; s < 2; s++) {
      const cell = document.createElement('div');
      cell.className = 'side';
      const number = document.createElement('span');
      number.className = 'number';
      const column = document.createElement('div');
      column.className = 'column';
      const text = document.createElement('div');
      text.className = 'text';
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

  function measure() {
    const px = (view.size * 96) / 72;
    measures.lineHeight = Math.ceil(px * 1.35);
    const digits = String(Math.max(1, rows.maxNumber)).length;
    const root = document.documentElement.style;
    root.setProperty('--size', px + 'px');
    root.setProperty('--line-height', measures.lineHeight + 'px');
    root.setProperty('--digits', String(digits));
    page.body.classList.toggle('wrap', view.wrap);
    page.body.classList.toggle('nonum', !view.numbers);
    page.spacer.appendChild(probe);
    const zeros = probe.querySelector('.text span');
    const column = probe.querySelector('.column');
    measures.characterWidth = zeros.getBoundingClientRect().width / 100 || px * 0.6;
    const padding = getComputedStyle(column);
    measures.textWidth = column.clientWidth - parseFloat(padding.paddingLeft) - parseFloat(padding.paddingRight);
    probe.remove();
    measures.columns = Math.max(1, Math.floor(measures.textWidth / measures.characterWidth));
    page.scrollbarInner.style.width =
      page.scrollbar.clientWidth +
      Math.max(0, Math.ceil(measures.widest * measures.characterWidth) + 24 - measures.textWidth) +
      'px';
  }

  // Finds the widest row's columns, once.
  function measureWidest() {
    let widest = 0;
    for (let s = 0; s < 2; s++) {
      const side = rows.sides[s];
      for (let k = 0; k < side.ownCount; k++) {
        const r = side.ownRow[k];
        // Tabs can widen a line at most to this; most lines are passed without a look.
        if ((rows.ownLength(side, k) + 1) * page.tabSize > widest) widest = Math.max(widest, widthOf(s, r));
      }
    }
    measures.widest = widest;
  }

  // Unfolds the stretch that starts at row `first`; the items must then be built anew.
  function expand(first) {
    expanded.add(first);
  }

  return {
    kinds: { ROW, SECTION, FOLD },
    // Makes the items anew, with the fold and the stretches unfolded.
    build: buildItems,
    expand,
    estimateHeights,
    measure,
    measureWidest,
    lineHeight: () => measures.lineHeight,
    // The items: their number, kind, rows [from, to), the item that shows row r, heights.
    count: () => itemCount,
    kindOf: (i) => itemKind[i],
    fromOf: (i) => itemFrom[i],
    toOf: (i) => itemTo[i],
    itemOfRow: (r) => itemOfRow[r],
    heightOf: (i) => heights[i],
    setHeight,
    fitSpacer,
    // The offset of item i, the item at offset y, and the height of all.
    topOf: (i) => tree.prefix(i),
    find: (y) => tree.find(y),
    total: () => (tree ? tree.total : 0),
  };
})(document, page, view, rows);
