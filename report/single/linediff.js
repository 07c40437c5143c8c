// The changed part of a changed pair.
/* global codes, rows */
/* exported wordDiff */

const wordDiff = (function (codes, rows) {
  // Changed pairs are compared word by word up to this many characters; beyond, and when
  // the words between are so many that comparing them would take long (a count of token
  // pairs), by common start and end only.
  const WORD_DIFF_CHARACTERS = 4000;
  const WORD_DIFF_PAIRS = 2500000;
  // The most rows times columns the word comparison keeps at once.
  const BLOCK_CELLS = 65536;
  const WORD_CHARACTER = /[\p{L}\p{N}_]/u;
  const TOKEN = /[\p{L}\p{N}_]+|\s+|[\s\S]/gu;

  const partsCache = new Map();

  function isChangedPair(r) {
    const [first, second] = rows.sides;
    return (
      rows.present(0, r) && rows.present(1, r) && (first.mark[r] === codes.changed || second.mark[r] === codes.changed)
    );
  }

  // The changed parts [[from, to, ...], [from, to, ...]] of row r's two texts, or null when
  // the row is no changed pair.
  function changedParts(r) {
    if (!isChangedPair(r)) return null;
    let parts = partsCache.get(r);
    if (!parts) {
      const texts = [rows.textOf(0, r), rows.textOf(1, r)];
      const ignored = [rows.ignoredOf(0, r), rows.ignoredOf(1, r)];
      parts = ignored[0] || ignored[1] ? lineDiffWithout(texts, ignored) : lineDiff(texts[0], texts[1]);
      if (partsCache.size > 5000) partsCache.clear();
      partsCache.set(r, parts);
    }
    return parts;
  }

  // The texts are compared without the parts that do not count; the changed ranges go back
  // onto the whole texts, around those parts.
  function lineDiffWithout(texts, ignored) {
    const kept = texts.map((text, s) => keptOf(text, ignored[s] || []));
    const parts = lineDiff(kept[0].text, kept[1].text);
    return parts.map((ranges, s) => {
      const { at } = kept[s];
      const whole = [];
      for (let i = 0; i < ranges.length; i += 2) {
        for (let k = ranges[i]; k < ranges[i + 1]; k++) {
          if (whole.length && whole[whole.length - 1] === at[k]) whole[whole.length - 1]++;
          else whole.push(at[k], at[k] + 1);
        }
      }
      return whole;
    });
  }

  // The text without the spans [begin, end, ...], and where each of its characters stands
  // in the whole text.
  function keptOf(text, spans) {
    const pieces = [];
    const at = [];
    let from = 0;
    for (let i = 0; i <= spans.length; i += 2) {
      const to = i < spans.length ? Math.min(spans[i], text.length) : text.length;
      if (to > from) pieces.push(text.slice(from, to));
      for (let k = from; k < to; k++) at.push(k);
      if (i < spans.length) from = Math.max(from, spans[i + 1]);
    }
    return { text: pieces.join(''), at };
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
    const tokensA = tokensOf(a, start, endA);
    const tokensB = tokensOf(b, start, endB);
    if (tokensA.length * tokensB.length > WORD_DIFF_PAIRS) return whole();
    return commonWords(tokensA, tokensB);
  }

  // The tokens of each side outside one longest common subsequence, as merged ranges.
  //
  // The subsequence is the one a walk from the start takes when it knows, for every place,
  // the longest common subsequence of the rest (L): it takes equal tokens, else drops the
  // first side's token while that keeps the length, else the second's. The walk needs L of
  // two neighbouring rows (first-side tokens) at a time, but they are made from the end; so
  // the rows are halved: L of the middle row is made from the end row and kept while the
  // first half is walked, then the second. That keeps a row per halving, never a table.
  function commonWords(tokensA, tokensB) {
    const ids = new Map();
    const idOf = (token) => {
      let id = ids.get(token.text);
      if (id === undefined) ids.set(token.text, (id = ids.size));
      return id;
    };
    const a = Int32Array.from(tokensA, idOf);
    const b = Int32Array.from(tokensB, idOf);
    const n = a.length;
    const m = b.length;
    const partsA = [];
    const partsB = [];
    const note = (parts, token) => {
      if (parts.length && parts[parts.length - 1] === token.from) parts[parts.length - 1] = token.to;
      else parts.push(token.from, token.to);
    };

    // L of row i from L of row i + 1.
    const rowAbove = (below, i, out) => {
      const token = a[i];
      let right = 0;
      out[m] = 0;
      for (let j = m - 1; j >= 0; j--) {
        const down = below[j];
        right = b[j] === token ? below[j + 1] + 1 : down > right ? down : right;
        out[j] = right;
      }
      return out;
    };

    // Walks rows [from, to) from column `column`, knowing L of row `to`; gives the column
    // where the walk enters row `to`. Up to BLOCK_CELLS, the rows are kept whole.
    const walk = (from, to, column, end) => {
      const count = to - from;
      if (count === 0) return column;
      if (count * (m + 1) <= BLOCK_CELLS || count === 1) {
        const block = new Uint16Array((count + 1) * (m + 1));
        block.set(end, count * (m + 1));
        for (let k = count - 1; k >= 0; k--) {
          rowAbove(block.subarray((k + 1) * (m + 1)), from + k, block.subarray(k * (m + 1), (k + 1) * (m + 1)));
        }
        let j = column;
        for (let k = 0; k < count; k++) {
          const row = k * (m + 1);
          const next = row + m + 1;
          const i = from + k;
          for (;;) {
            if (j < m && a[i] === b[j]) {
              j++;
              break;
            }
            if (j >= m || block[next + j] >= block[row + j + 1]) {
              note(partsA, tokensA[i]);
              break;
            }
            note(partsB, tokensB[j++]);
          }
        }
        return j;
      }
      const middle = (from + to) >> 1;
      let below = end;
      let above = new Uint16Array(m + 1);
      for (let i = to - 1; i >= middle; i--) {
        const made = rowAbove(below, i, above);
        above = below === end ? new Uint16Array(m + 1) : below;
        below = made;
      }
      return walk(middle, to, walk(from, middle, column, below), end);
    };

    const last = walk(0, n, 0, new Uint16Array(m + 1));
    for (let j = last; j < m; j++) note(partsB, tokensB[j]);
    return [partsA, partsB];
  }

  return { changedParts, lineDiff };
})(codes, rows);
