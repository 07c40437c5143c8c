// A selection stays on the side where it began, as in split views: the other side's cells
// cannot be selected meanwhile, and copying gives that side's text only, a line per row.
/* global page */

(function (document, window, page) {
  let selectedSide = -1;

  function sideOfCell(cell) {
    return cell.parentElement.firstElementChild === cell ? 0 : 1;
  }

  function selectSide(s) {
    selectedSide = s;
    page.body.classList.toggle('select0', s === 0);
    page.body.classList.toggle('select1', s === 1);
  }

  document.addEventListener('mousedown', (event) => {
    const cell =
      event.button === 0 && event.target.closest ? event.target.closest('#spacer .row[data-row] .side') : null;
    if (cell) selectSide(sideOfCell(cell));
    else if (event.button === 0) selectSide(-1);
  });

  // The selected part of one cell's text, without the note of a cut line.
  function selectedTextOf(cell, range) {
    const text = cell.querySelector('.text');
    const part = document.createRange();
    part.selectNodeContents(text);
    if (range.compareBoundaryPoints(Range.START_TO_START, part) > 0)
      part.setStart(range.startContainer, range.startOffset);
    if (range.compareBoundaryPoints(Range.END_TO_END, part) < 0) part.setEnd(range.endContainer, range.endOffset);
    const copy = part.cloneContents();
    for (const note of copy.querySelectorAll('.cut')) note.remove();
    return copy.textContent;
  }

  document.addEventListener('copy', (event) => {
    const selection = window.getSelection();
    if (selectedSide < 0 || !selection.rangeCount || !event.clipboardData) return;
    const range = selection.getRangeAt(0);
    if (!page.spacer.contains(range.commonAncestorContainer) && !range.commonAncestorContainer.contains(page.spacer))
      return;
    const cells = [...page.spacer.querySelectorAll('.row[data-row]')]
      .sort((a, b) => a.dataset.row - b.dataset.row)
      .map((row) => row.children[selectedSide])
      .filter((cell) => !cell.classList.contains('blank') && range.intersectsNode(cell));
    const texts = cells.map((cell) => selectedTextOf(cell, range));
    // A selection that ends at the very start of a row (or begins at the very end of one)
    // takes nothing of it.
    const touches = (i) => !texts[i] && cells[i].querySelector('.text').textContent;
    if (texts.length > 1 && touches(texts.length - 1)) texts.pop();
    if (texts.length > 1 && touches(0)) texts.shift();
    if (!texts.length) return;
    event.clipboardData.setData('text/plain', texts.join('\n'));
    event.preventDefault();
  });
})(document, window, page);
