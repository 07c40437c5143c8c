// The entry shown: a file's rows in a frame that holds the one-file page of that file, put
// together from the page around a file's data and the file's own data blocks, which are
// read only now; or a notice for an entry without rows. A file whose data the browser has
// not read yet is shown once it has.
/* global tree */
/* exported viewer */

const viewer = (function (document, window, tree) {
  const pieces = JSON.parse(tree.byId('tandemix-viewer').textContent);
  const box = tree.byId('viewer');
  const notice = tree.byId('notice');
  // The keys the frame's help lists besides its own.
  const KEYS = [
    ['Umschalt+N', 'N\u00e4chste Datei'],
    ['Umschalt+P', 'Vorige Datei'],
  ];

  // One frame holds the one-file page for every file: its markup, style and script are read
  // once, and each file shown runs the page's script again on fresh markup and the file's
  // own blocks, which costs far less than a new document for each file.
  let frame = null;
  // The frame's page as it stands before a file is put in: its body, the script's parts as
  // one function of the frame, and the end of what the last file listened to.
  let framePage = null;
  let shownInFrame = false;
  // The entry whose rows the frame shows, and its page's differences (its part of that
  // name), once it has started.
  let shownEntry = null;
  let shownDifferences = null;
  // The file shown once its data is read, and what watches the page grow until then.
  let waiting = null;
  const growth = new window.MutationObserver(() => showWaiting());

  // A file's data blocks. The browser has read a block whole once an element follows it,
  // and the last of a file's blocks is followed by the script or by another block (the
  // counts at the latest); once the counts are in, every file's data is.
  function blocksOf(file) {
    return document.querySelectorAll('script.tandemix-file[data-file="' + file + '"]');
  }

  function arrived(file) {
    if (tree.counted()) return true;
    const blocks = blocksOf(file);
    return blocks.length > 0 && blocks[blocks.length - 1].nextElementSibling !== null;
  }

  function resultOf(details) {
    if (details.differences === undefined) return pieces.resultStart + '\u2026' + pieces.resultCountEnd;
    return details.differences ? pieces.resultStart + details.differences + pieces.resultCountEnd : pieces.resultNone;
  }

  function sizeText(bytes) {
    return Number(bytes).toLocaleString('de-DE') + ' Bytes';
  }

  // Ends what the file shown listens to; with drop, drops its rows too (the next file's
  // markup replaces them otherwise).
  function leaveFile(drop) {
    shownEntry = null;
    shownDifferences = null;
    if (!framePage || !shownInFrame) return;
    shownInFrame = false;
    framePage.listening.abort();
    if (drop) framePage.document.body.textContent = '';
  }

  function clear(drop = true) {
    leaveFile(drop);
    if (frame && drop) frame.hidden = true;
    notice.textContent = '';
  }

  function say(...lines) {
    clear();
    for (const line of lines) {
      const p = document.createElement('p');
      p.textContent = line;
      notice.appendChild(p);
    }
  }

  function sidePath(side, entry) {
    const details = entry.details;
    const relative = side === 1 && details && details.to ? details.to : entry.path;
    return tree.tops[side] + (relative ? '/' + relative : '');
  }

  function describe(entry) {
    const details = entry.details || {};
    const { status } = tree;
    const word = tree.words[entry.status];
    const title = entry.path + ': ' + word;
    if (details.large) {
      return [title, 'Diese Datei ist zu gro\u00df f\u00fcr einen Browser; ihre Zeilen stehen nicht im Bericht.'];
    }
    if (details.problem) return [title, details.problem];
    if (details.binary) {
      return [
        title,
        'Bin\u00e4rdateien unterscheiden sich',
        'Gr\u00f6\u00dfe in 1: ' + sizeText(details.sizes[0]) + ', in 2: ' + sizeText(details.sizes[1]),
      ];
    }
    if (entry.status === status.moved) {
      return ['verschoben (gleicher Inhalt)', '1: ' + sidePath(0, entry), '2: ' + sidePath(1, entry)];
    }
    if (entry.status === status.equal)
      return [title, entry.folder ? 'Alles darin ist gleich.' : 'Die Dateien sind gleich.'];
    if (entry.folder) return [title, 'Die Unterschiede darin stehen in der Liste links.'];
    return [title];
  }

  // The frame and its page without a file: the one-file page's markup with the names and
  // the result left empty and no data block, and its script compiled once in the frame as
  // a function that starts the page's parts on what the body holds when it is called.
  function makeFrame(host) {
    frame = document.createElement('iframe');
    box.appendChild(frame);
    const page = frame.contentDocument;
    const p = pieces.pieces;
    page.open();
    // The last piece opens the (empty) data block, which the end of the document closes.
    page.write(p[0] + p[1] + p[2] + p[3] + p[4] + p[5]);
    page.close();
    for (const block of page.querySelectorAll('script')) block.remove();
    const frameWindow = frame.contentWindow;
    const script = /<script>([\s\S]*)<\/script>/.exec(p[6])[1];
    // Opening the document took every listener off its window; the tree's keys come first.
    frameWindow.addEventListener('keydown', (event) => host.keydown(event));
    framePage = {
      document: page,
      body: page.body.innerHTML,
      start: new frameWindow.Function(script),
      listening: new AbortController(),
    };
    // Every listener a file's parts add ends with the file, so that the next file's parts
    // do not share the keys, the clicks and the scheme's changes with them.
    const target = frameWindow.EventTarget.prototype;
    const listen = target.addEventListener;
    target.addEventListener = function (type, listener, options) {
      const given = typeof options === 'object' && options !== null ? options : { capture: Boolean(options) };
      listen.call(this, type, listener, given.signal ? given : { ...given, signal: framePage.listening.signal });
    };
  }

  // The one-file page of the file: the frame's page, emptied, takes the file's names,
  // result and data blocks, which are read only now, and starts its parts on them.
  function showRows(entry, start, host) {
    clear(false);
    if (!frame) makeFrame(host);
    const details = entry.details;
    const name1 = entry.status !== tree.status.onlyIn2 ? sidePath(0, entry) : '';
    const name2 = entry.status !== tree.status.onlyIn1 ? sidePath(1, entry) : '';
    frame.title = entry.path;
    frame.tandemixHost = {
      keys: KEYS,
      step: host.step,
      attach(differences) {
        shownDifferences = differences;
        if (differences.blockCount && start) differences.goToBlock(start > 0 ? 0 : differences.blockCount - 1);
        host.shown();
      },
    };
    const page = framePage.document;
    framePage.listening = new AbortController();
    shownInFrame = true;
    shownEntry = entry;
    page.title = 'Tandemix: ' + name1 + ' \u2194 ' + name2;
    // The classes the last file's parts put on the body go with it.
    page.body.className = '';
    page.body.innerHTML = framePage.body;
    page.getElementById('result').innerHTML = resultOf(details);
    page.querySelectorAll('#names .name').forEach((name, side) => {
      name.textContent = side ? name2 : name1;
    });
    for (const block of blocksOf(details.file)) {
      const data = page.createElement('script');
      data.type = 'application/json';
      data.className = 'tandemix-data';
      data.textContent = block.textContent;
      page.body.appendChild(data);
    }
    frame.hidden = false;
    framePage.start();
  }

  // Shows the entry; start is 1 to begin at the file's first difference, -1 at its last,
  // 0 at its top. host.step takes a step past the file's differences, host.keydown the keys
  // pressed in the frame.
  function show(entry, start, host) {
    waiting = null;
    growth.disconnect();
    if (!entry) {
      say('Keine Unterschiede.');
      host.shown();
      return;
    }
    try {
      if (entry.details && entry.details.file !== undefined) {
        if (!arrived(entry.details.file)) {
          say(entry.path, 'Die Datei wird noch gelesen \u2026');
          waiting = { entry, start, host };
          growth.observe(document.body, { childList: true });
          return;
        }
        showRows(entry, start, host);
        return;
      }
      say(...describe(entry));
    } catch (error) {
      const tooLarge = error instanceof RangeError || /memory|allocation/i.test(String(error && error.message));
      say(
        entry.path,
        tooLarge
          ? 'Diese Datei ist zu gro\u00df f\u00fcr diesen Browser.'
          : 'Diese Datei kann nicht angezeigt werden: ' + String(error),
      );
    }
    host.shown();
  }

  function showWaiting() {
    if (!waiting) return;
    const { entry, start, host } = waiting;
    if (entry.details.file === undefined || arrived(entry.details.file)) show(entry, start, host);
  }

  tree.whenCounted(() => {
    showWaiting();
    if (shownEntry) framePage.document.getElementById('result').innerHTML = resultOf(shownEntry.details);
  });

  return {
    show,
    // The shown page's differences, or null when no page with rows is shown.
    differences: () => shownDifferences,
    frame: () => (frame && !frame.hidden ? frame : null),
  };
})(document, window, tree);
