// Scrolling and the elements of the rows in view.

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
  markGap(number, s, r);
  const column = document.createElement('div');
  column.className = 't';
  const text = document.createElement('div');
  text.className = 'x';
  appendText(text, textOf(s, r), parts, hitsIn(r, s), syntaxOf(s, r));
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
// [start, end, ...], `marks` the search hits [start, end, current, ...] and `syntax` the
// coloured tokens [start, end, class, ...].
function appendText(target, text, parts, marks, syntax) {
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
  if ((!parts || !parts.length) && (!marks || !marks.length) && (!syntax || !syntax.length)) {
    if (shown) target.appendChild(document.createTextNode(shown));
  } else {
    appendMarked(target, shown, parts || [], marks || [], syntax || []);
  }
  if (cut) {
    const note = document.createElement('span');
    note.className = 'cut';
    note.textContent = ' [gek\u00fcrzt: ' + (text.length - end).toLocaleString('de-DE') +
      ' weitere Zeichen nicht angezeigt]';
    target.appendChild(note);
  }
}

function appendMarked(target, shown, parts, marks, syntax) {
  const cuts = [0, shown.length];
  for (let i = 0; i < parts.length; i += 2) cuts.push(parts[i], parts[i + 1]);
  for (let i = 0; i < marks.length; i += 3) cuts.push(marks[i], marks[i + 1]);
  for (let i = 0; i < syntax.length; i += 3) cuts.push(syntax[i], syntax[i + 1]);
  const points = [...new Set(cuts.map((c) => Math.max(0, Math.min(c, shown.length))))].sort((a, b) => a - b);
  let p = 0;
  let m = 0;
  let y = 0;
  for (let k = 0; k + 1 < points.length; k++) {
    const from = points[k];
    const to = points[k + 1];
    if (from === to) continue;
    while (p < parts.length && parts[p + 1] <= from) p += 2;
    while (m < marks.length && marks[m + 1] <= from) m += 3;
    while (y < syntax.length && syntax[y + 1] <= from) y += 3;
    const inPart = p < parts.length && parts[p] <= from;
    const inMark = m < marks.length && marks[m] <= from;
    const token = y < syntax.length && syntax[y] <= from ? syntax[y + 2] : '';
    const piece = shown.slice(from, to);
    if (!inPart && !inMark && !token) {
      target.appendChild(document.createTextNode(piece));
      continue;
    }
    const span = document.createElement('span');
    // The token's colour, under the changed part's and the hit's backgrounds.
    const classes = [token, inPart ? 'dx' : '', inMark ? (marks[m + 2] ? 'hit cur' : 'hit') : ''];
    span.className = classes.filter((c) => c).join(' ');
    span.textContent = piece;
    target.appendChild(span);
  }
}
