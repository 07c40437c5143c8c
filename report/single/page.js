// The one-file report: reads the rows from the page's data block once and keeps only the
// rows in view (and a margin) as elements. Both sides of a row are one element, so they
// stay level whatever the wrapping does. Texts reach the page as text nodes only.
(function () {
  'use strict';

  // A line longer than this many characters is shown cut, with a note; the rest stays in
  // the data (where search still finds it) and out of the page's elements.
  const SHOWN_CHARACTERS = 100000;
  // Unchanged rows kept beside a difference when unchanged stretches are hidden; only
  // stretches longer than twice this are folded.
  const CONTEXT_ROWS = 3;
  // Search stops counting here, so that a one-letter search in a huge report stays quick.
  const MAX_HITS = 1000000;
  // Changed pairs are compared word by word up to these sizes, beyond by common start and
  // end only.
  const WORD_DIFF_CHARACTERS = 4000;
  const WORD_DIFF_CELLS = 250000;
  // Browsers limit an element's height; taller contents scroll through a scaled spacer.
  const MAX_SPACER = 8000000;
  const MARGIN = 600;
  const TAB_SIZE = 4;
  // Up to this many display rows are printed whole; beyond, the rows in view.
  const PRINT_ALL_LIMIT = 5000;

  const ROW = 0;
  const SECTION = 1;
  const FOLD = 2;
  const MARK_CLASS = ['', 'C', 'A', 'D'];
  const CONTROL = /[\x00-\x08\x0a-\x1f\x7f]/;
  const CONTROLS = /[\x00-\x08\x0a-\x1f\x7f]/g;
  const WORD_CHARACTER = /[\p{L}\p{N}_]/u;
  const TOKEN = /[\p{L}\p{N}_]+|\s+|[\s\S]/gu;

  const $ = (id) => document.getElementById(id);
  const body = document.body;
  const view = $('view');
  const spacer = $('spacer');
  const overview = $('overview');
  const canvas = overview.querySelector('canvas');
  const thumb = $('thumb');
  const hbar = $('hbar');
  const hinner = $('hinner');
  const queryInput = $('query');
  const currentMark = document.createElement('div');
  currentMark.id = 'curmark';
  overview.appendChild(currentMark);

  // --- the rows ---

  const PLACEHOLDER = -1;
  const SHARED = -2;

  const dataElement = $('tandemix-data');
  let data = JSON.parse(dataElement.textContent);
  dataElement.remove();
  const rowCount = data.rows;
  const sides = [decodeSide(0), decodeSide(1)];
  data = null;

  // A side keeps its texts as the one string of the data block; `own` gives a row's place
  // in it, or PLACEHOLDER, or SHARED when the row shows the first side's text.
  function decodeSide(s) {
    const codes = data.marks[s];
    const joined = data.texts[s];
    const numbers = data.lines[s];
    const breaks = data.breaks[s];
    const titles = data.sections[s];
    const mark = new Uint8Array(rowCount);
    const line = new Uint32Array(rowCount);
    const own = new Int32Array(rowCount);
    const ownRow = new Int32Array(rowCount);
    const starts = new Uint32Array(rowCount + 1);
    let k = 0;
    let at = 0;
    let n = 0;
    let b = 0;
    let next = 1;
    for (let r = 0; r < rowCount; r++) {
      const c = codes.charCodeAt(r);
      if (c >= 97) {
        mark[r] = c - 97;
        own[r] = PLACEHOLDER;
        continue;
      }
      if (c >= 65) {
        mark[r] = c - 65;
        own[r] = SHARED;
      } else {
        mark[r] = c - 48;
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
    const section = new Map();
    for (let i = 0; i + 1 < titles.length; i += 2) section.set(titles[i], titles[i + 1]);
    return { joined, mark, line, own, ownRow, starts, ownCount: k, section, tabs: null };
  }

  function present(s, r) {
    return sides[s].own[r] !== PLACEHOLDER;
  }

  function textOf(s, r) {
    const side = sides[s];
    const o = side.own[r];
    if (o >= 0) return side.joined.slice(side.starts[o], side.starts[o + 1] - 1);
    return o === SHARED ? textOf(0, r) : '';
  }

  function lengthOf(s, r) {
    const side = sides[s];
    const o = side.own[r];
    if (o >= 0) return side.starts[o + 1] - side.starts[o] - 1;
    return o === SHARED ? lengthOf(0, r) : 0;
  }

  // Which rows hold a tab, found once with one scan of the side's texts.
  function hasTab(s, r) {
    const side = sides[s];
    const o = side.own[r];
    if (o === SHARED) return hasTab(0, r);
    if (o < 0) return false;
    if (!side.tabs) {
      side.tabs = new Uint8Array(side.ownCount);
      let k = 0;
      for (let p = side.joined.indexOf('\t'); p >= 0; p = side.joined.indexOf('\t', p + 1)) {
        while (side.starts[k + 1] <= p) k++;
        side.tabs[k] = 1;
      }
    }
    return side.tabs[o] === 1;
  }

  const sectionAt = new Uint8Array(rowCount);
  for (const side of sides) for (const r of side.section.keys()) if (r < rowCount) sectionAt[r] = 1;

  // A row differs when either side is marked; a run of such rows is one difference.
  const differs = new Uint8Array(rowCount);
  const blockStarts = [];
  const blockEnds = [];
  for (let r = 0; r < rowCount; r++) {
    if (sides[0].mark[r] || sides[1].mark[r]) {
      differs[r] = 1;
      if (r === 0 || !differs[r - 1]) blockStarts.push(r);
    } else if (r > 0 && differs[r - 1]) {
      blockEnds.push(r);
    }
  }
  if (blockEnds.length < blockStarts.length) blockEnds.push(rowCount);
  const blockCount = blockStarts.length;

  let maxNumber = 0;
  for (const side of sides) for (let r = 0; r < rowCount; r++) if (side.line[r] > maxNumber) maxNumber = side.line[r];

  // --- state ---

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
      text.textContent = '0'.repeat(100);
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
    const x = probe.querySelector('.x');
    const t = probe.querySelector('.t');
    layout.cw = x.getBoundingClientRect().width / 100 || px * 0.6;
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
        if ((side.starts[k + 1] - side.starts[k]) * TAB_SIZE > widest) widest = Math.max(widest, widthOf(s, r));
      }
    }
    return widest;
  }

  // --- scrolling ---

  function scale() {
    const total = tree.total;
    const height = view.clientHeight;
    const room = Math.min(total, MAX_SPACER) - height;
    return total > MAX_SPACER && room > 0 ? (total - height) / room : 1;
  }

  function maxY() {
    return Math.max(0, tree.total - view.clientHeight);
  }

  function setY(y) {
    posY = Math.max(0, Math.min(y, maxY()));
    const top = Math.round(posY / scale());
    if (view.scrollTop !== top) {
      view.scrollTop = top;
      expectedTop = view.scrollTop;
    }
    if (scale() === 1) posY = view.scrollTop;
    render();
  }

  view.addEventListener('scroll', () => {
    if (view.scrollTop === expectedTop) {
      expectedTop = -1;
      return;
    }
    expectedTop = -1;
    posY = Math.min(view.scrollTop * scale(), maxY());
    render();
  });

  view.addEventListener('wheel', (event) => {
    const unit = event.deltaMode === 1 ? layout.lh : event.deltaMode === 2 ? view.clientHeight : 1;
    let dx = event.deltaX;
    let dy = event.deltaY;
    if (event.shiftKey && !dx) {
      dx = dy;
      dy = 0;
    }
    if (dx && !state.wrap) {
      hbar.scrollLeft += dx * unit;
      if (!dy) event.preventDefault();
    }
    // Scaled contents would jump by the scale on every notch; move them by the wheel's own
    // distance instead.
    if (dy && scale() > 1) {
      event.preventDefault();
      setY(posY + dy * unit);
    }
  }, { passive: false });

  // Keys scroll scaled contents by their own distance too.
  view.addEventListener('keydown', (event) => {
    if (scale() === 1 || event.ctrlKey || event.metaKey || event.altKey) return;
    const page = Math.max(layout.lh, view.clientHeight - layout.lh);
    const moves = {
      ArrowDown: layout.lh,
      ArrowUp: -layout.lh,
      PageDown: page,
      PageUp: -page,
      ' ': event.shiftKey ? -page : page,
      Home: -tree.total,
      End: tree.total,
    };
    const move = moves[event.key];
    if (move === undefined) return;
    event.preventDefault();
    setY(posY + move);
  });

  hbar.addEventListener('scroll', () => {
    state.sx = hbar.scrollLeft;
    view.style.setProperty('--sx', String(state.sx));
  });

  // The row at the top of the view, and its offset in its item.
  function anchor() {
    if (!itemCount) return { row: 0, offset: 0 };
    const item = tree.find(posY);
    return { row: itemFrom[item], offset: posY - tree.prefix(item), section: itemKind[item] === SECTION };
  }

  function itemOf(at) {
    let item = at.row < rowCount ? itemOfRow[at.row] : itemCount - 1;
    if (at.section && item > 0 && itemKind[item - 1] === SECTION) item--;
    return item;
  }

  function restore(at) {
    if (!itemCount) return setY(0);
    const item = itemOf(at);
    setY(tree.prefix(item) + Math.min(at.offset, heights[item]));
  }

  // --- rendering ---

  function render() {
    if (printing) return;
    if (!rowCount) {
      if (!spacer.firstChild) {
        const empty = document.createElement('div');
        empty.className = 'empty';
        empty.textContent = '(keine Zeilen)';
        spacer.appendChild(empty);
      }
      return;
    }
    for (let pass = 0; pass < 3; pass++) {
      const fresh = place();
      if (!state.wrap || !fresh.length || !measure(fresh)) break;
    }
    updateThumb();
  }

  // Puts the items from the margin above the view to the margin below it in place.
  function place() {
    const fresh = [];
    const scrollTop = view.scrollTop;
    const end = posY + view.clientHeight + MARGIN;
    let i = tree.find(Math.max(0, posY - MARGIN));
    let top = tree.prefix(i);
    const kept = new Map();
    for (; i < itemCount && top < end; i++) {
      let element = live.get(i);
      if (element) {
        live.delete(i);
      } else {
        element = makeItem(i);
        fresh.push([i, element]);
      }
      element.style.top = (top - posY + scrollTop) + 'px';
      if (!state.wrap) element.style.height = heights[i] + 'px';
      kept.set(i, element);
      top += heights[i];
    }
    for (const element of live.values()) element.remove();
    for (const [, element] of fresh) spacer.appendChild(element);
    live = kept;
    return fresh;
  }

  // Takes the real heights of new wrapped rows; keeps the row at the top where it was.
  function measure(fresh) {
    const at = anchor();
    let changed = false;
    for (const [i, element] of fresh) {
      const h = element.offsetHeight;
      if (h && h !== heights[i]) {
        tree.add(i, h - heights[i]);
        heights[i] = h;
        changed = true;
      }
    }
    if (!changed) return false;
    spacer.style.height = Math.min(tree.total, MAX_SPACER) + 'px';
    posY = Math.max(0, Math.min(tree.prefix(itemOf(at)) + at.offset, maxY()));
    const top = Math.round(posY / scale());
    if (view.scrollTop !== top) {
      view.scrollTop = top;
      expectedTop = view.scrollTop;
    }
    if (scale() === 1) posY = view.scrollTop;
    return true;
  }

  // Drops every element, so that the next render makes them anew with the current state.
  function refresh() {
    for (const element of live.values()) element.remove();
    live = new Map();
    render();
  }

  function makeItem(i) {
    const element = document.createElement('div');
    const r = itemFrom[i];
    if (itemKind[i] === FOLD) {
      const count = itemTo[i] - r;
      element.className = 'r fold';
      element.setAttribute('role', 'button');
      element.tabIndex = 0;
      element.dataset.fold = String(r);
      element.textContent = '\u2026 ' + count + (count === 1 ? ' unver\u00e4nderte Zeile' : ' unver\u00e4nderte Zeilen') +
        ' ausgeblendet (anklicken zum Einblenden) \u2026';
      return element;
    }
    if (itemKind[i] === SECTION) {
      element.className = 'r sec';
      for (const side of sides) {
        const cell = document.createElement('div');
        cell.className = 's';
        cell.textContent = side.section.get(r) || '';
        element.appendChild(cell);
      }
      return element;
    }
    element.className = current >= 0 && r >= blockStarts[current] && r < blockEnds[current] ? 'r cur' : 'r';
    element.dataset.row = String(r);
    const parts = isChangedPair(r) ? changedParts(r) : null;
    for (let s = 0; s < 2; s++) element.appendChild(makeCell(s, r, parts && parts[s]));
    return element;
  }

  function makeCell(s, r, parts) {
    const side = sides[s];
    const cell = document.createElement('div');
    const mark = MARK_CLASS[side.mark[r]];
    cell.className = (present(s, r) ? 's' : 's f') + (mark ? ' ' + mark : '');
    const number = document.createElement('span');
    number.className = 'n';
    if (present(s, r) && side.line[r]) number.textContent = String(side.line[r]);
    const column = document.createElement('div');
    column.className = 't';
    const text = document.createElement('div');
    text.className = 'x';
    appendText(text, textOf(s, r), parts, hitsIn(r, s));
    column.appendChild(text);
    cell.appendChild(number);
    cell.appendChild(column);
    return cell;
  }

  function pictureOf(c) {
    const code = c.charCodeAt(0);
    return String.fromCharCode(code === 127 ? 0x2421 : 0x2400 + code);
  }

  // Fills `target` with the row's text as text nodes; `parts` are the changed ranges
  // [start, end, ...] and `marks` the search hits [start, end, current, ...].
  function appendText(target, text, parts, marks) {
    let end = text.length;
    if (end && text.charCodeAt(end - 1) === 10) end -= end > 1 && text.charCodeAt(end - 2) === 13 ? 2 : 1;
    else if (end && text.charCodeAt(end - 1) === 13) end--;
    const cut = end > SHOWN_CHARACTERS;
    if (cut) {
      end = SHOWN_CHARACTERS;
      const last = text.charCodeAt(end - 1);
      if (last >= 0xd800 && last < 0xdc00) end--;
    }
    let shown = end === text.length ? text : text.slice(0, end);
    if (CONTROL.test(shown)) shown = shown.replace(CONTROLS, pictureOf);
    if ((!parts || !parts.length) && (!marks || !marks.length)) {
      if (shown) target.appendChild(document.createTextNode(shown));
    } else {
      appendMarked(target, shown, parts || [], marks || []);
    }
    if (cut) {
      const note = document.createElement('span');
      note.className = 'cut';
      note.textContent = ' [gek\u00fcrzt: ' + (text.length - end).toLocaleString('de-DE') +
        ' weitere Zeichen nicht angezeigt]';
      target.appendChild(note);
    }
  }

  function appendMarked(target, shown, parts, marks) {
    const cuts = [0, shown.length];
    for (let i = 0; i < parts.length; i += 2) cuts.push(parts[i], parts[i + 1]);
    for (let i = 0; i < marks.length; i += 3) cuts.push(marks[i], marks[i + 1]);
    const points = [...new Set(cuts.map((c) => Math.max(0, Math.min(c, shown.length))))].sort((a, b) => a - b);
    let p = 0;
    let m = 0;
    for (let k = 0; k + 1 < points.length; k++) {
      const from = points[k];
      const to = points[k + 1];
      if (from === to) continue;
      while (p < parts.length && parts[p + 1] <= from) p += 2;
      while (m < marks.length && marks[m + 1] <= from) m += 3;
      const inPart = p < parts.length && parts[p] <= from;
      const inMark = m < marks.length && marks[m] <= from;
      const piece = shown.slice(from, to);
      if (!inPart && !inMark) {
        target.appendChild(document.createTextNode(piece));
        continue;
      }
      const span = document.createElement('span');
      span.className = (inPart ? 'dx' : '') + (inMark ? (inPart ? ' ' : '') + (marks[m + 2] ? 'hit cur' : 'hit') : '');
      span.textContent = piece;
      target.appendChild(span);
    }
  }

  // --- the changed part of a changed pair ---

  const partsCache = new Map();

  function isChangedPair(r) {
    return present(0, r) && present(1, r) && (sides[0].mark[r] === 1 || sides[1].mark[r] === 1);
  }

  function changedParts(r) {
    let parts = partsCache.get(r);
    if (!parts) {
      parts = lineDiff(textOf(0, r), textOf(1, r));
      if (partsCache.size > 5000) partsCache.clear();
      partsCache.set(r, parts);
    }
    return parts;
  }

  function isWordAt(text, i) {
    return i >= 0 && i < text.length && WORD_CHARACTER.test(text[i]);
  }

  function tokensOf(text, from, to) {
    const tokens = [];
    const piece = text.slice(from, to);
    TOKEN.lastIndex = 0;
    for (let m = TOKEN.exec(piece); m; m = TOKEN.exec(piece)) {
      tokens.push({ text: m[0], from: from + m.index, to: from + m.index + m[0].length });
    }
    return tokens;
  }

  // The ranges of each line that the other does not have: common start and end first,
  // then the words between by their longest common subsequence.
  function lineDiff(a, b) {
    const shortest = Math.min(a.length, b.length);
    let start = 0;
    while (start < shortest && a.charCodeAt(start) === b.charCodeAt(start)) start++;
    let endA = a.length;
    let endB = b.length;
    while (endA > start && endB > start && a.charCodeAt(endA - 1) === b.charCodeAt(endB - 1)) {
      endA--;
      endB--;
    }
    const whole = () => [endA > start ? [start, endA] : [], endB > start ? [start, endB] : []];
    if (endA - start > WORD_DIFF_CHARACTERS || endB - start > WORD_DIFF_CHARACTERS) return whole();
    // Whole words are compared: the common start and end give back a word they cut into.
    while (start > 0 && isWordAt(a, start - 1) && (isWordAt(a, start) || isWordAt(b, start))) start--;
    while (endA < a.length && isWordAt(a, endA) && (isWordAt(a, endA - 1) || isWordAt(b, endB - 1))) {
      endA++;
      endB++;
    }
    const ta = tokensOf(a, start, endA);
    const tb = tokensOf(b, start, endB);
    const n = ta.length;
    const m = tb.length;
    if ((n + 1) * (m + 1) > WORD_DIFF_CELLS) return whole();
    const width = m + 1;
    const common = new Uint16Array((n + 1) * width);
    for (let i = n - 1; i >= 0; i--) {
      for (let j = m - 1; j >= 0; j--) {
        common[i * width + j] = ta[i].text === tb[j].text
          ? common[(i + 1) * width + j + 1] + 1
          : Math.max(common[(i + 1) * width + j], common[i * width + j + 1]);
      }
    }
    const partsA = [];
    const partsB = [];
    const note = (parts, token) => {
      if (parts.length && parts[parts.length - 1] === token.from) parts[parts.length - 1] = token.to;
      else parts.push(token.from, token.to);
    };
    let i = 0;
    let j = 0;
    while (i < n || j < m) {
      if (i < n && j < m && ta[i].text === tb[j].text) {
        i++;
        j++;
      } else if (j >= m || (i < n && common[(i + 1) * width + j] >= common[i * width + j + 1])) {
        note(partsA, ta[i++]);
      } else {
        note(partsB, tb[j++]);
      }
    }
    return [partsA, partsB];
  }

  // --- differences ---

  function firstRowInView() {
    if (!itemCount) return 0;
    const item = tree.find(posY + 1);
    return itemFrom[item];
  }

  function rowTop(r) {
    return tree.prefix(itemOfRow[r]);
  }

  function blockInView(b) {
    const top = rowTop(blockStarts[b]);
    return top >= posY && top < posY + view.clientHeight;
  }

  function firstBlockFrom(r) {
    let low = 0;
    let high = blockCount;
    while (low < high) {
      const mid = (low + high) >> 1;
      if (blockStarts[mid] < r) low = mid + 1;
      else high = mid;
    }
    return low;
  }

  function step(direction) {
    if (!blockCount) return;
    let b;
    if (current >= 0 && blockInView(current)) {
      b = current + direction;
    } else {
      const first = firstBlockFrom(firstRowInView());
      b = direction > 0 ? first : first - 1;
    }
    goToBlock(Math.max(0, Math.min(b, blockCount - 1)));
  }

  function goToBlock(b) {
    current = b;
    const r = blockStarts[b];
    setY(rowTop(r) - Math.min(CONTEXT_ROWS * layout.lh, view.clientHeight / 4));
    refresh();
    showPosition();
  }

  function showPosition() {
    $('position').textContent = (current >= 0 ? current + 1 : '\u2013') + ' / ' + blockCount;
    if (current < 0 || !tree.total) {
      currentMark.style.display = 'none';
      return;
    }
    const height = overview.clientHeight;
    const top = rowTop(blockStarts[current]) / Math.max(tree.total, view.clientHeight) * height;
    currentMark.style.display = 'block';
    currentMark.style.top = Math.max(0, Math.min(top - 1, height - 3)) + 'px';
  }

  // A row inside a folded stretch is unfolded before it is shown.
  function reveal(r) {
    const item = itemOfRow[r];
    if (itemKind[item] !== FOLD) return;
    const at = anchor();
    expanded.add(itemFrom[item]);
    buildItems();
    restore(at);
  }

  function unfold(first) {
    const at = anchor();
    expanded.add(first);
    buildItems();
    restore(at);
    refresh();
    drawOverview();
  }

  spacer.addEventListener('click', (event) => {
    const fold = event.target.closest('.fold');
    if (fold) unfold(Number(fold.dataset.fold));
  });
  spacer.addEventListener('keydown', (event) => {
    const fold = event.target.closest && event.target.closest('.fold');
    if (fold && (event.key === 'Enter' || event.key === ' ')) {
      event.preventDefault();
      unfold(Number(fold.dataset.fold));
    }
  });

  // --- overview ---

  function strongColour(name) {
    return getComputedStyle(document.documentElement).getPropertyValue(name).trim() || '#888';
  }

  function drawOverview() {
    const ratio = window.devicePixelRatio || 1;
    const width = overview.clientWidth;
    const height = overview.clientHeight;
    canvas.width = Math.max(1, Math.round(width * ratio));
    canvas.height = Math.max(1, Math.round(height * ratio));
    const context = canvas.getContext('2d');
    context.setTransform(ratio, 0, 0, ratio, 0, 0);
    context.clearRect(0, 0, width, height);
    // Contents shorter than the view are drawn to the view's scale.
    const total = Math.max(tree.total, view.clientHeight);
    if (tree.total > 0) {
      const colours = [strongColour('--C-strong'), strongColour('--A-strong'), strongColour('--D-strong')];
      const kindOf = (r) => (sides[0].mark[r] === 1 || sides[1].mark[r] === 1 ? 0 : sides[0].mark[r] === 3 ? 2 : 1);
      let lastEnd = -1;
      let lastKind = -1;
      for (let b = 0; b < blockCount; b++) {
        for (let r = blockStarts[b]; r < blockEnds[b];) {
          const kind = kindOf(r);
          let end = r + 1;
          while (end < blockEnds[b] && kindOf(end) === kind) end++;
          const item = itemOfRow[end - 1];
          const y0 = Math.floor(rowTop(r) / total * height);
          const y1 = Math.max(y0 + 2, Math.ceil((tree.prefix(item) + heights[item]) / total * height));
          if (y1 > lastEnd || kind !== lastKind) {
            context.fillStyle = colours[kind];
            context.fillRect(1, y0, width - 2, y1 - y0);
            lastEnd = y1;
            lastKind = kind;
          }
          r = end;
        }
      }
    }
    showPosition();
    updateThumb();
  }

  function updateThumb() {
    if (!tree || !tree.total) return;
    const total = Math.max(tree.total, view.clientHeight);
    const height = overview.clientHeight;
    thumb.style.top = (posY / total * height) + 'px';
    thumb.style.height = Math.max(4, Math.min(1, view.clientHeight / total) * height) + 'px';
  }

  function overviewAt(event) {
    const box = overview.getBoundingClientRect();
    const fraction = Math.max(0, Math.min(1, (event.clientY - box.top) / box.height));
    setY(fraction * Math.max(tree.total, view.clientHeight) - view.clientHeight / 2);
  }

  overview.addEventListener('mousedown', (event) => {
    event.preventDefault();
    overviewAt(event);
    const move = (e) => overviewAt(e);
    const up = () => {
      window.removeEventListener('mousemove', move);
      window.removeEventListener('mouseup', up);
    };
    window.addEventListener('mousemove', move);
    window.addEventListener('mouseup', up);
  });

  // --- search ---

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
    const text = side.joined;
    const found = [];
    let k = 0;
    const add = (position, length) => {
      while (side.starts[k + 1] <= position) k++;
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
    return found;
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
  function hitsIn(r, s) {
    if (!hits.count) return null;
    const marks = [];
    for (let k = firstHitFrom(r); k < hits.count && hits.row[k] === r; k++) {
      if (hits.side[k] === s) marks.push(hits.from[k], hits.to[k], k === hitCurrent ? 1 : 0);
    }
    return marks;
  }

  function showHits() {
    const label = $('hits');
    if (!queryInput.value) label.textContent = '';
    else if (!hits.count) label.textContent = 'keine Treffer';
    else {
      const count = hits.more ? 'mehr als ' + hits.count : String(hits.count);
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

  // --- controls ---

  function relayout() {
    const at = anchor();
    measureLayout();
    estimateHeights();
    restore(at);
    refresh();
    drawOverview();
  }

  $('next').addEventListener('click', () => step(1));
  $('prev').addEventListener('click', () => step(-1));
  $('size').addEventListener('change', (event) => {
    state.size = Number(event.target.value);
    relayout();
  });
  $('wrap').addEventListener('change', (event) => {
    state.wrap = event.target.checked;
    relayout();
  });
  $('numbers').checked = state.numbers;
  $('numbers').addEventListener('change', (event) => {
    state.numbers = event.target.checked;
    relayout();
  });
  $('fold').addEventListener('change', (event) => {
    state.fold = event.target.checked;
    const at = anchor();
    buildItems();
    restore(at);
    refresh();
    drawOverview();
  });

  document.addEventListener('keydown', (event) => {
    if (event.key === 'F7') {
      event.preventDefault();
      step(event.shiftKey ? -1 : 1);
      return;
    }
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const target = event.target;
    if (target.matches && target.matches('input[type="text"], select, textarea')) return;
    if (event.key === 'n' || event.key === 'p') {
      event.preventDefault();
      step(event.key === 'n' ? 1 : -1);
    }
  });

  let resizeTimer = 0;
  window.addEventListener('resize', () => {
    clearTimeout(resizeTimer);
    resizeTimer = setTimeout(relayout, 100);
  });

  // --- printing: the rows shown, side by side, in the page's flow ---

  window.addEventListener('beforeprint', () => {
    printing = true;
    for (const element of live.values()) element.remove();
    live = new Map();
    let first = 0;
    let last = itemCount;
    if (itemCount > PRINT_ALL_LIMIT) {
      first = tree.find(posY);
      last = Math.min(itemCount, tree.find(posY + view.clientHeight) + 1);
    }
    const rows = document.createDocumentFragment();
    for (let i = first; i < last; i++) rows.appendChild(makeItem(i));
    spacer.appendChild(rows);
  });
  window.addEventListener('afterprint', () => {
    printing = false;
    spacer.textContent = '';
    render();
  });

  // --- start ---

  layout.maxColumns = widestColumns();
  measureLayout();
  buildItems();
  setY(0);
  drawOverview();
  showPosition();
  requestAnimationFrame(() => setTimeout(() => performance.mark('tandemix-rows-shown'), 0));
})();
