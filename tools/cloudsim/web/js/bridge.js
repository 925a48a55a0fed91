// Talks to the desktop program's local bridge: one WebSocket carrying JSON
// actions. Replies and progress messages are matched by "actionId".
(function (global) {
  'use strict';

  // The program appends "?localPort=<port>" to the address it opens (even
  // after an existing query), so search the whole address.
  function readPort() {
    const match = /[?&]localPort=(\d+)/.exec(global.location.href);
    return match ? Number(match[1]) : 0;
  }

  class Bridge {
    constructor(port) {
      this.port = port;
      this.ws = null;
      this.seq = 0;
      this.queue = [];
      this.pending = new Map();    // actionId -> one-shot reply handler
      this.listeners = new Map();  // actionId -> handler for every message
      this.retryMs = 500;
      this.onstate = function () {};
    }

    get isOpen() { return !!this.ws && this.ws.readyState === WebSocket.OPEN; }

    connect() {
      if (!this.port) { this.onstate('closed'); return; }
      this.onstate('connecting');
      const ws = new WebSocket('ws://127.0.0.1:' + this.port);
      this.ws = ws;
      ws.onopen = () => {
        this.retryMs = 500;
        this.onstate('open');
        const waiting = this.queue.splice(0);
        waiting.forEach((text) => ws.send(text));
      };
      ws.onmessage = (event) => this.receive(event.data);
      ws.onclose = () => {
        if (this.ws !== ws) return;
        this.ws = null;
        this.onstate('closed');
        setTimeout(() => this.connect(), this.retryMs);
        this.retryMs = Math.min(this.retryMs * 2, 5000);
      };
    }

    receive(text) {
      let message;
      try { message = JSON.parse(text); } catch (e) { return; }
      if (!message || typeof message !== 'object') return;
      const id = message.actionId;
      const listener = this.listeners.get(id);
      if (listener) listener(message);
      const reply = this.pending.get(id);
      if (reply) { this.pending.delete(id); reply(message); }
    }

    newId(prefix) { return prefix + '-' + Date.now().toString(36) + '-' + (++this.seq); }

    // Fire and forget.
    send(action, fields) {
      const text = JSON.stringify(Object.assign({ action: action }, fields || {}));
      if (this.isOpen) this.ws.send(text); else this.queue.push(text);
    }

    // One reply expected.
    request(action, fields, timeoutMs) {
      const actionId = this.newId(action);
      return new Promise((resolve, reject) => {
        const timer = setTimeout(() => {
          this.pending.delete(actionId);
          reject(new Error(action + ' timed out'));
        }, timeoutMs || 5000);
        this.pending.set(actionId, (message) => { clearTimeout(timer); resolve(message); });
        this.send(action, Object.assign({}, fields || {}, { actionId: actionId }));
      });
    }

    // Many messages expected (progress, data routed to this page).
    listen(action, fields, handler, actionId) {
      const id = actionId || this.newId(action);
      this.listeners.set(id, handler);
      this.send(action, Object.assign({}, fields || {}, { actionId: id }));
      return id;
    }

    unlisten(actionId) { this.listeners.delete(actionId); }

    storeGet(key) {
      return this.request('operateLocalStore', { type: 2, key: key }).then((m) => (m.result || ''));
    }
    storeSet(key, value) { return this.request('operateLocalStore', { type: 1, key: key, value: value }); }
    storeClear(key) { return this.request('operateLocalStore', { type: 3, key: key }); }
  }

  global.YunBridge = { Bridge: Bridge, readPort: readPort };
})(window);
