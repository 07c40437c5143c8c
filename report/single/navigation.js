// Stepping through the differences, unfolding, and the overview beside the scroll bar.

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
  $('position').textContent = (current >= 0 ? current + 1 : '\u2013') + ' / ' + blockCount + ' Abschnitte';
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
