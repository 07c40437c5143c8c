// Synchronised scrolling, text size and line wrapping of the two side frames.

var tid = null;
var scrollTop = 0;
var scrollLeft = 0;

// Follows frame0's scroll position with frame1 in short steps.
function initScrollSynchronization() {
    if (tid) {
        clearInterval(tid);
    }
    tid = setInterval(syncFrame, 25);
    // One step at once, so a page that cannot reach its frames says so right away.
    syncFrame();
}

function syncFrame() {
    var win0, win1;
    try {
        win0 = parent.frames["frame0"];
        win1 = parent.frames["frame1"];
        if (!win0 || !win1) {
            return;
        }
        if (document.all) {
            var body0 = win0.document.body;
            if (!body0) {
                return;
            }
            scrollTop = body0.scrollTop;
            scrollLeft = body0.scrollLeft;
        } else {
            scrollTop = win0.pageYOffset;
            scrollLeft = win0.pageXOffset;
        }
        // Reading a foreign frame may quietly give nothing instead of throwing.
        if (typeof scrollTop != "number" || typeof scrollLeft != "number") {
            throw new Error("frame0 not readable");
        }
        win1.scrollTo(scrollLeft, scrollTop);
    } catch (e) {
        zeige_betrachter_hinweis();
    }
}

// The checkbox's value, not its tick, remembers whether the timer runs.
function synchron() {
    var box = document.sync.synbox;
    if (box.value == "0" || box.value == "") {
        box.value = "1";
        initScrollSynchronization();
    } else {
        box.value = "";
        clearInterval(tid);
        tid = null;
    }
}

function switch_textsize(size) {
    var docs = seiten_dokumente();
    if (!docs) {
        return;
    }
    for (var d = 0; d < docs.length; d++) {
        var rows = docs[d].getElementsByTagName("p");
        for (var i = 0; i < rows.length; i++) {
            rows[i].style.fontSize = size;
        }
    }
}

function set_wrap() {
    var docs = seiten_dokumente();
    if (!docs) {
        return;
    }
    var button = document.wrap.setwrap;
    var space;
    if (button.value == "Zeilenumbruch") {
        button.value = "ohne Zeilenumbruch";
        space = "normal";
    } else {
        button.value = "Zeilenumbruch";
        space = "nowrap";
    }
    for (var d = 0; d < docs.length; d++) {
        var rows = docs[d].getElementsByTagName("p");
        for (var i = 0; i < rows.length; i++) {
            rows[i].style.whiteSpace = space;
        }
    }
}

// The documents of frame0 and frame1, or null when they cannot be reached.
function seiten_dokumente() {
    try {
        var win0 = parent.frames["frame0"];
        var win1 = parent.frames["frame1"];
        if (!win0 || !win1) {
            return null;
        }
        var docs = [win0.document, win1.document];
        if (!docs[0] || !docs[1]) {
            return null;
        }
        return docs;
    } catch (e) {
        zeige_betrachter_hinweis();
        return null;
    }
}

// Pages opened from disk get an origin each, so the top page may not touch the
// side frames: stop the timer and say once what is needed instead.
function zeige_betrachter_hinweis() {
    if (tid) {
        clearInterval(tid);
        tid = null;
    }
    if (!document.body || document.getElementById("tandemix_hinweis")) {
        return;
    }
    var line = document.createElement("div");
    line.id = "tandemix_hinweis";
    line.appendChild(document.createTextNode("Suche, synchrones Scrollen, Textgr\u00f6\u00dfe und Zeilenumbruch ben\u00f6tigen den Tandemix-Betrachter (oder die HTA-Form)."));
    document.body.insertBefore(line, document.body.firstChild);
}
