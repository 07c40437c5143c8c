// Stepping through the differences, unfolding, and the overview beside the scroll bar.
/* global codes, page, view, rows, layout, rendering */
/* exported differences */

const differences = (function (window, codes, page, view, rows, layout, rendering) {
  const { viewport, spacer, overview, canvas, currentMark } = page;
  const { blockStarts, blockEnds } = rows;

  function firstRowInView() {
    if (!layout.count()) return 0;
    return layout.fromOf(layout.find(view.top + 1));
  }

  function rowTop(r) {
    return layout.topOf(layout.itemOfRow(r));
  }

  function blockInView(b) {
    const top = rowTop(blockStarts[b]);
    return top >= view.top && top < view.top + viewport.clientHeight;
  }

  // The first difference that starts at row r or after it.
  function firstBlockFrom(r) {
    let low = 0;
    let high = rows.blockCount;
    while (low < high) {
      const mid = (low + high) >> 1;
      if (blockStarts[mid] < r) low = mid + 1;
      else high = mid;
    }
    return low;
  }

  function step(direction) {
    let b = -1;
    if (view.current >= 0 && blockInView(view.current)) {
      b = view.current + direction;
    } else if (rows.blockCount) {
      const first = firstBlockFrom(firstRowInView());
      b = direction > 0 ? first : first - 1;
    }
    // A step past the first or the last difference goes on in the host's next file.
    if (page.host && (b < 0 || b >= rows.blockCount)) return page.host.step(direction);
    if (!rows.blockCount) return;
    goToBlock(Math.max(0, Math.min(b, rows.blockCount - 1)));
  }

  function goToBlock(b) {
    view.current = b;
    const r = blockStarts[b];
    rendering.scrollTo(rowTop(r) - Math.min(page.contextRows * layout.lineHeight(), viewport.clientHeight / 4));
    rendering.refresh();
    showPosition();
  }

  function showPosition() {
    const current = view.current;
    // Until every row is in, the sections' number is not known.
    const count = rows.complete ? rows.blockCount : '\u2026';
    page.byId('position').textContent = (current >= 0 ? current + 1 : '\u2013') + ' / ' + count + ' Abschnitte';
    if (current < 0 || !layout.total()) {
      currentMark.style.display = 'none';
      return;
    }
    const height = overview.clientHeight;
    const top = (rowTop(blockStarts[current]) / Math.max(layout.total(), viewport.clientHeight)) * height;
    currentMark.style.display = 'block';
    currentMark.style.top = Math.max(0, Math.min(top - 1, height - 3)) + 'px';
  }

  // A row inside a folded stretch is unfolded before it is shown.
  function reveal(r) {
    const item = layout.itemOfRow(r);
    if (layout.kindOf(item) !== layout.kinds.FOLD) return;
    const at = rendering.anchor();
    layout.expand(layout.fromOf(item));
    layout.build();
    rendering.restore(at);
  }

  function unfold(first) {
    const at = rendering.anchor();
    layout.expand(first);
    layout.build();
    rendering.restore(at);
    rendering.refresh();
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
    const total = Math.max(layout.total(), viewport.clientHeight);
    if (layout.total() > 0) {
      const colours = [strongColour('--C-strong'), strongColour('--A-strong'), strongColour('--D-strong')];
      const [first, second] = rows.sides;
      const kindOf = (r) =>
        first.mark[r] === codes.changed || second.mark[r] === codes.changed
          ? 0
          : first.mark[r] === codes.deleted
            ? 2
            : 1;
      let lastEnd = -1;
      let lastKind = -1;
      for (let b = 0; b < rows.blockCount; b++) {
        for (let r = blockStarts[b]; r < blockEnds[b];) {
          const kind = kindOf(r);
          let end = r + 1;
          while (end < blockEnds[b] && kindOf(end) === kind) end++;
          const item = layout.itemOfRow(end - 1);
          const y0 = Math.floor((rowTop(r) / total) * height);
          const y1 = Math.max(y0 + 2, Math.ceil(((layout.topOf(item) + layout.heightOf(item)) / total) * height));
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
    rendering.updateThumb();
  }

  function overviewAt(event) {
    const box = overview.getBoundingClientRect();
    const fraction = Math.max(0, Math.min(1, (event.clientY - box.top) / box.height));
    rendering.scrollTo(fraction * Math.max(layout.total(), viewport.clientHeight) - viewport.clientHeight / 2);
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

  return {
    step,
    goToBlock,
    get blockCount() {
      return rows.blockCount;
    },
    showPosition,
    reveal,
    drawOverview,
    firstRowInView,
    rowTop,
    firstBlockFrom,
  };
})(window, codes, page, view, rows, layout, rendering);
