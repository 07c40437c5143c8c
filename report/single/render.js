// Scrolling, and the elements of the rows in view.
/* global codes, page, view, rows, layout, wordDiff, gaps, finder, syntax */
/* exported rendering */

const rendering = (function (document, codes, page, view, rows, layout, wordDiff, gaps, finder, syntax) {
  const { viewport, spacer, scrollbar } = page;
  const { SECTION, FOLD } = layout.kinds;
  // The class of a cell by its mark: the row colours' classes.
  const markClass = [];
  markClass[codes.unchanged] = '';
  markClass[codes.changed] = 'C';
  markClass[codes.added] = 'A';
  markClass[codes.deleted] = 'D';
  // Control characters, which the rows show as their pictures.
  // eslint-disable-next-line no-control-regex
  const CONTROL = /[\x00-\x08\x0a-\x1f\x7f]/;
  // eslint-disable-next-line no-control-regex
  const CONTROLS = /[\x00-\x08\x0a-\x1f\x7f]/g;

  // The scroll position this part set itself, whose scroll event is then not the reader's.
  let expectedTop = -1;
  // The elements placed, by item.
  let live = new Map();

  function scale() {
    const total = layout.total();
    const height = viewport.clientHeight;
    const room = Math.min(total, page.maxSpacer) - height;
    return total > page.maxSpacer && room > 0 ? (total - height) / room : 1;
  }

  function maxY() {
    return Math.max(0, layout.total() - viewport.clientHeight);
  }

  // Puts the view's scroll bar where view.top says.
  function showTop() {
    const top = Math.round(view.top / scale());
    if (viewport.scrollTop !== top) {
      viewport.scrollTop = top;
      expectedTop = viewport.scrollTop;
    }
    if (scale() === 1) view.top = viewport.scrollTop;
  }

  function scrollTo(y) {
    view.top = Math.max(0, Math.min(y, maxY()));
    showTop();
    render();
  }

  function setScrollX(x) {
    view.scrollX = x;
    viewport.style.setProperty('--scroll-x', String(x));
  }

  viewport.addEventListener('scroll', () => {
    if (viewport.scrollTop === expectedTop) {
      expectedTop = -1;
      return;
    }
    expectedTop = -1;
    view.top = Math.min(viewport.scrollTop * scale(), maxY());
    render();
  });

  viewport.addEventListener(
    'wheel',
    (event) => {
      const unit = event.deltaMode === 1 ? layout.lineHeight() : event.deltaMode === 2 ? viewport.clientHeight : 1;
      let dx = event.deltaX;
      let dy = event.deltaY;
      if (event.shiftKey && !dx) {
        dx = dy;
        dy = 0;
      }
      if (dx && !view.wrap) {
        scrollbar.scrollLeft += dx * unit;
        if (!dy) event.preventDefault();
      }
      // Scaled contents would jump by the scale on every notch; move them by the wheel's
      // own distance instead.
      if (dy && scale() > 1) {
        event.preventDefault();
        scrollTo(view.top + dy * unit);
      }
    },
    { passive: false },
  );

  // Keys scroll scaled contents by their own distance too.
  viewport.addEventListener('keydown', (event) => {
    if (scale() === 1 || event.ctrlKey || event.metaKey || event.altKey) return;
    const line = layout.lineHeight();
    const screenful = Math.max(line, viewport.clientHeight - line);
    const moves = {
      ArrowDown: line,
      ArrowUp: -line,
      PageDown: screenful,
      PageUp: -screenful,
      ' ': event.shiftKey ? -screenful : screenful,
      Home: -layout.total(),
      End: layout.total(),
    };
    const move = moves[event.key];
    if (move === undefined) return;
    event.preventDefault();
    scrollTo(view.top + move);
  });

  scrollbar.addEventListener('scroll', () => setScrollX(scrollbar.scrollLeft));

  // The row at the top of the view, and its offset in its item.
  function anchor() {
    if (!layout.count()) return { row: 0, offset: 0 };
    const item = layout.find(view.top);
    return {
      row: layout.fromOf(item),
      offset: view.top - layout.topOf(item),
      section: layout.kindOf(item) === SECTION,
    };
  }

  function itemOf(at) {
    let item = at.row < rows.count ? layout.itemOfRow(at.row) : layout.count() - 1;
    if (at.section && item > 0 && layout.kindOf(item - 1) === SECTION) item--;
    return item;
  }

  function restore(at) {
    if (!layout.count()) return scrollTo(0);
    const item = itemOf(at);
    scrollTo(layout.topOf(item) + Math.min(at.offset, layout.heightOf(item)));
  }

  // --- rendering ---

  function render() {
    if (view.printing) return;
    if (!rows.count) {
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
      if (!view.wrap || !fresh.length || !measure(fresh)) break;
    }
    updateThumb();
  }

  // Puts the items from the margin above the view to the margin below it in place.
  function place() {
    const fresh = [];
    const scrollTop = viewport.scrollTop;
    const end = view.top + viewport.clientHeight + page.margin;
    let i = layout.find(Math.max(0, view.top - page.margin));
    let top = layout.topOf(i);
    const kept = new Map();
    for (const count = layout.count(); i < count && top < end; i++) {
      let element = live.get(i);
      if (element) {
        live.delete(i);
      } else {
        element = makeItem(i);
        fresh.push([i, element]);
      }
      element.style.top = top - view.top + scrollTop + 'px';
      if (!view.wrap) element.style.height = layout.heightOf(i) + 'px';
      kept.set(i, element);
      top += layout.heightOf(i);
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
      if (layout.setHeight(i, element.offsetHeight)) changed = true;
    }
    if (!changed) return false;
    layout.fitSpacer();
    view.top = Math.max(0, Math.min(layout.topOf(itemOf(at)) + at.offset, maxY()));
    showTop();
    return true;
  }

  // Drops every element.
  function clear() {
    for (const element of live.values()) element.remove();
    live = new Map();
  }

  // Drops every element, so that the next render makes them anew with the current state.
  function refresh() {
    clear();
    render();
  }

  function updateThumb() {
    const total = layout.total();
    if (!total) return;
    const shown = Math.max(total, viewport.clientHeight);
    const height = page.overview.clientHeight;
    page.thumb.style.top = (view.top / shown) * height + 'px';
    page.thumb.style.height = Math.max(4, Math.min(1, viewport.clientHeight / shown) * height) + 'px';
  }

  function makeItem(i) {
    const element = document.createElement('div');
    const r = layout.fromOf(i);
    if (layout.kindOf(i) === FOLD) {
      const count = layout.toOf(i) - r;
      element.className = 'row fold';
      element.setAttribute('role', 'button');
      element.tabIndex = 0;
      element.dataset.fold = String(r);
      element.textContent =
        '\u2026 ' +
        count +
        (count === 1 ? ' unver\u00e4nderte Zeile' : ' unver\u00e4nderte Zeilen') +
        ' ausgeblendet (anklicken zum Einblenden) \u2026';
      return element;
    }
    if (layout.kindOf(i) === SECTION) {
      element.className = 'row sec';
      for (const side of rows.sides) {
        const cell = document.createElement('div');
        cell.className = 'side';
        cell.textContent = side.section.get(r) || '';
        element.appendChild(cell);
      }
      return element;
    }
    const current = view.current;
    element.className =
      current >= 0 && r >= rows.blockStarts[current] && r < rows.blockEnds[current] ? 'row cur' : 'row';
    element.dataset.row = String(r);
    const parts = wordDiff.changedParts(r);
    for (let s = 0; s < 2; s++) element.appendChild(makeCell(s, r, parts && parts[s]));
    return element;
  }

  function makeCell(s, r, parts) {
    const side = rows.sides[s];
    const cell = document.createElement('div');
    const mark = markClass[side.mark[r]];
    cell.className = (rows.present(s, r) ? 'side' : 'side blank') + (mark ? ' ' + mark : '');
    const number = document.createElement('span');
    number.className = 'number';
    if (rows.present(s, r) && side.line[r]) number.textContent = String(side.line[r]);
    gaps.mark(number, s, r);
    const column = document.createElement('div');
    column.className = 'column';
    const text = document.createElement('div');
    text.className = 'text';
    appendText(text, rows.textOf(s, r), parts, finder.hitsIn(r, s), syntax.tokensOf(s, r), rows.ignoredOf(s, r));
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
  // [start, end, ...], `marks` the search hits [start, end, current, ...] and `tokens` the
  // coloured tokens [start, end, class, ...], `ignored` the parts that do not count [start,
  // end, ...].
  function appendText(target, text, parts, marks, tokens, ignored) {
    let end = text.length;
    if (end && text.charCodeAt(end - 1) === 10) end -= end > 1 && text.charCodeAt(end - 2) === 13 ? 2 : 1;
    else if (end && text.charCodeAt(end - 1) === 13) end--;
    const cut = end > page.shownCharacters;
    if (cut) {
      end = page.shownCharacters;
      const last = text.charCodeAt(end - 1);
      if (last >= 0xd800 && last < 0xdc00) end--;
    }
    let shown = end === text.length ? text : text.slice(0, end);
    if (CONTROL.test(shown)) shown = shown.replace(CONTROLS, pictureOf);
    if ((!parts || !parts.length) && (!marks || !marks.length) && (!tokens || !tokens.length) && !ignored) {
      if (shown) target.appendChild(document.createTextNode(shown));
    } else {
      appendMarked(target, shown, parts || [], marks || [], tokens || [], ignored || []);
    }
    if (cut) {
      const note = document.createElement('span');
      note.className = 'cut';
      note.textContent =
        ' [gek\u00fcrzt: ' + (text.length - end).toLocaleString('de-DE') + ' weitere Zeichen nicht angezeigt]';
      target.appendChild(note);
    }
  }

  function appendMarked(target, shown, parts, marks, tokens, ignored) {
    const cuts = [0, shown.length];
    for (let i = 0; i < parts.length; i += 2) cuts.push(parts[i], parts[i + 1]);
    for (let i = 0; i < ignored.length; i += 2) cuts.push(ignored[i], ignored[i + 1]);
    for (let i = 0; i < marks.length; i += 3) cuts.push(marks[i], marks[i + 1]);
    for (let i = 0; i < tokens.length; i += 3) cuts.push(tokens[i], tokens[i + 1]);
    const points = [...new Set(cuts.map((c) => Math.max(0, Math.min(c, shown.length))))].sort((a, b) => a - b);
    let p = 0;
    let m = 0;
    let y = 0;
    let g = 0;
    for (let k = 0; k + 1 < points.length; k++) {
      const from = points[k];
      const to = points[k + 1];
      if (from === to) continue;
      while (p < parts.length && parts[p + 1] <= from) p += 2;
      while (m < marks.length && marks[m + 1] <= from) m += 3;
      while (y < tokens.length && tokens[y + 1] <= from) y += 3;
      while (g < ignored.length && ignored[g + 1] <= from) g += 2;
      const inIgnored = g < ignored.length && ignored[g] <= from;
      const inPart = p < parts.length && parts[p] <= from;
      const inMark = m < marks.length && marks[m] <= from;
      const token = y < tokens.length && tokens[y] <= from ? tokens[y + 2] : '';
      const piece = shown.slice(from, to);
      if (!inPart && !inMark && !token && !inIgnored) {
        target.appendChild(document.createTextNode(piece));
        continue;
      }
      const span = document.createElement('span');
      // The token's colour, under the changed part's and the hit's backgrounds.
      const classes = [token, inPart ? 'changed' : '', inMark ? (marks[m + 2] ? 'hit cur' : 'hit') : ''];
      span.className = classes.filter((c) => c).join(' ');
      // Text that does not count is underlined lightly in the muted colour of either scheme;
      // set here, as the sheet of every other page stays as it is.
      if (inIgnored) {
        span.classList.add('ign');
        span.style.textDecoration = 'underline dotted var(--muted)';
      }
      span.textContent = piece;
      target.appendChild(span);
    }
  }

  return {
    scrollTo,
    setScrollX,
    render,
    refresh,
    clear,
    anchor,
    restore,
    makeItem,
    updateThumb,
  };
})(document, codes, page, view, rows, layout, wordDiff, gaps, finder, syntax);
