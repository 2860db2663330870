// Input handling of a form page, injected by the page view into every page
// it shows. It applies the key filter of the cell types, keeps the browser's
// own behaviour (text selection by dragging, the context menu, the refresh
// key) out of the form, and reports to the view: a refused key, a
// double-click, the input cell that lost the focus and a link to a fragment
// of the page. The view decides everything else.
//
// The view fills in the two tables below before it injects the script.
(function () {
    'use strict';
    var CONTROL_KEYS = /*CONTROL_KEYS*/[];
    var STRONG_FORBIDDEN = /*STRONG_FORBIDDEN*/'';
    var HANDLER = /*HANDLER*/'tarvik';

    function post(message) {
        try {
            window.webkit.messageHandlers[HANDLER].postMessage(JSON.stringify(message));
        } catch (x) {
        }
    }

    function isInput(e) {
        return !!e && typeof e.tagName === 'string' && e.tagName.toUpperCase() === 'INPUT';
    }

    function activeInput() {
        var e = document.activeElement;
        return isInput(e) ? e : null;
    }

    function caretOf(e) {
        try {
            if (typeof e.selectionEnd === 'number') return e.selectionEnd;
        } catch (x) {
        }
        return 0;
    }

    var controlKeys = {};
    CONTROL_KEYS.forEach(function (k) { controlKeys[k] = true; });

    // The character that a key gives: '' when it gives none or more than one.
    function characterOf(event) {
        var key = event.key;
        if (typeof key !== 'string') return '';
        var chars = Array.from(key);
        return chars.length === 1 ? chars[0] : '';
    }

    function accepts(type, ch, cell) {
        var digit = ch >= '0' && ch <= '9' && ch.length === 1;
        switch (type) {
        case '{1,2,3}': return ch === '1' || ch === '2' || ch === '3';
        case '{1,2}': return ch === '1' || ch === '2';
        case 'DWORD': return digit;
        case 'int':
        case 'float':
            if (digit) return true;
            var value = typeof cell.value === 'string' ? cell.value : '';
            var caret = caretOf(cell);
            if (ch === '-') return caret === 0 && value.indexOf('-') < 0;
            if (type === 'float' && (ch === ',' || ch === '.'))
                return caret !== 0 && value.indexOf(',') < 0 && value.indexOf('.') < 0;
            return false;
        case 'StrongString': return ch === '' || STRONG_FORBIDDEN.indexOf(ch) < 0;
        }
        return true;
    }

    var leftButtonDown = false;

    var handlers = {
        keydown: function (event) {
            if (event.keyCode === 116) {  // F5: no refresh in a form
                event.preventDefault();
                event.stopImmediatePropagation();
                return;
            }
            if (controlKeys[event.keyCode] || event.ctrlKey || event.altKey) return;
            var cell = activeInput();
            if (!cell) return;
            var type = cell.getAttribute('cppType');
            if (typeof type !== 'string') return;
            if (accepts(type, characterOf(event), cell)) return;
            event.preventDefault();
            event.stopImmediatePropagation();
            post({event: 'reject', id: cell.id, key: event.keyCode});
        },
        mousedown: function (event) {
            if (event.button === 0) leftButtonDown = true;
        },
        mouseup: function (event) {
            if (event.button === 0) leftButtonDown = false;
        },
        mousemove: function (event) {
            if (leftButtonDown && document.activeElement && !activeInput()) event.preventDefault();
        },
        selectstart: function (event) {
            if (document.activeElement && !activeInput()) event.preventDefault();
        },
        dragstart: function (event) {
            if (!activeInput()) event.preventDefault();
        },
        contextmenu: function (event) {
            if (document.activeElement && !activeInput()) event.preventDefault();
        },
        dblclick: function (event) {
            var e = document.activeElement;
            post({event: 'dblclick', id: e && typeof e.id === 'string' ? e.id : '',
                  input: isInput(e)});
        },
        focusout: function (event) {
            if (isInput(event.target)) post({event: 'left', id: event.target.id});
        },
        click: function (event) {
            // A link to a fragment of this page does not load anything; the
            // view learns of it as of a navigation.
            var a = event.target && event.target.closest ? event.target.closest('a[href]') : null;
            if (!a || event.button !== 0) return;
            var href = a.getAttribute('href');
            if (typeof href === 'string' && href.charAt(0) === '#') post({event: 'fragment', url: a.href});
        }
    };

    // Installing again (a page written anew keeps its window) replaces the
    // handlers instead of doubling them.
    if (window.__tarvikPageScript) window.__tarvikPageScript.remove();
    Object.keys(handlers).forEach(function (name) {
        document.addEventListener(name, handlers[name], true);
    });
    window.__tarvikPageScript = {
        remove: function () {
            Object.keys(handlers).forEach(function (name) {
                document.removeEventListener(name, handlers[name], true);
            });
        }
    };
})();
