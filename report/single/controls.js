// The controls, the keys, printing, and the start.

// Up to this many display rows are printed whole; beyond, the rows in view.
const PRINT_ALL_LIMIT = 5000;

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
