// The library every JSON document engine receives before its document: four helpers that the document
// object's operations call, then JSON for engines that lack it. The engine is an old JScript, without
// JSON, Object.keys or Array.isArray. Types are told by the text of Object.prototype.toString, except where
// typeof is asked.

// Appends every scalar member of str_json to the global array str_all, descending into objects and arrays
// only when recursion is true. The caller creates str_all; it is never cleared here.
function get__nodeValue(str_json, recursion) {
  for (var name in str_json) {
    var kind = Object.prototype.toString.call(str_json[name]);
    if (kind == '[object Object]' || kind == '[object Array]') {
      if (recursion) get__nodeValue(str_json[name], recursion);
    } else if (kind == '[object String]' || kind == '[object Number]' || kind == '[object Boolean]') {
      str_all.push(str_json[name]);
    }
  }
  return str_all;
}

// The length of an array, 0 for anything else.
function get__count(value) {
  if (Object.prototype.toString.call(value) == '[object Array]') return value.length;
  return 0;
}

// The names of an object's members that are not functions, joined by CR LF; empty for anything else.
function get__name_All(value) {
  if (Object.prototype.toString.call(value) != '[object Object]') return '';
  var names = [];
  for (var name in value) {
    if (typeof value[name] != 'function') names.push(name);
  }
  return names.join('\r\n');
}

// Merges source into target: an array target gets the source's elements pushed; an object target merges
// the source's members into its objects and arrays member by member, passes over its functions (the
// toJSONString and parseJSON that every object inherits) and takes the source's value for everything else:
// strings, numbers, booleans, null and the members it lacks.
function get__extend(target, source) {
  if (Object.prototype.toString.call(target) == '[object Array]') {
    for (var i = 0; i < source.length; i++) target.push(source[i]);
    return target;
  }
  for (var name in source) {
    var kind = typeof target[name];
    if (kind == 'function') continue;
    if (kind == 'object' && target[name] !== null) {
      target[name] = get__extend(target[name], source[name]);
    } else {
      target[name] = source[name];
    }
  }
  return target;
}

// JSON as the fifth edition of ECMAScript defines it, for engines that have none. Each piece is defined
// only where the engine lacks it.
if (typeof JSON !== 'object') {
  JSON = {};
}

(function () {
  'use strict';

  function twoDigits(n) {
    return n < 10 ? '0' + n : String(n);
  }

  function isType(value, name) {
    return Object.prototype.toString.call(value) == '[object ' + name + ']';
  }

  if (typeof Date.prototype.toJSON !== 'function') {
    Date.prototype.toJSON = function () {
      if (!isFinite(this.valueOf())) return null;
      return this.getUTCFullYear() + '-' + twoDigits(this.getUTCMonth() + 1) + '-' + twoDigits(this.getUTCDate()) +
          'T' + twoDigits(this.getUTCHours()) + ':' + twoDigits(this.getUTCMinutes()) + ':' +
          twoDigits(this.getUTCSeconds()) + 'Z';
    };
    var primitiveValue = function () {
      return this.valueOf();
    };
    Boolean.prototype.toJSON = primitiveValue;
    Number.prototype.toJSON = primitiveValue;
    String.prototype.toJSON = primitiveValue;
  }

  // Characters that JSON.stringify writes as \u escapes besides the short ones, and those that JSON.parse
  // escapes before it tests and evaluates a text (they would change the meaning of the script).
  var escapable =
      /[\\\"\u0000-\u001f\u007f-\u009f\u00ad\u0600-\u0604\u070f\u17b4\u17b5\u200c-\u200f\u2028-\u202f\u2060-\u206f\ufeff\ufff0-\uffff]/g;
  var dangerous =
      /[\u0000\u00ad\u0600-\u0604\u070f\u17b4\u17b5\u200c-\u200f\u2028-\u202f\u2060-\u206f\ufeff\ufff0-\uffff]/g;
  var shortEscapes = {'\b': '\\b', '\t': '\\t', '\n': '\\n', '\f': '\\f', '\r': '\\r', '"': '\\"', '\\': '\\\\'};

  function unicodeEscape(c) {
    return '\\u' + ('0000' + c.charCodeAt(0).toString(16)).slice(-4);
  }

  function quote(text) {
    escapable.lastIndex = 0;
    return '"' + text.replace(escapable, function (c) {
      var known = shortEscapes[c];
      return typeof known === 'string' ? known : unicodeEscape(c);
    }) + '"';
  }

  if (typeof JSON.stringify !== 'function') {
    JSON.stringify = function (value, replacer, space) {
      var gap = '';
      var indent = '';
      // As the standard has it, an indent is at most ten characters.
      if (typeof space === 'number') {
        for (var i = 0; i < space && i < 10; i++) indent += ' ';
      } else if (typeof space === 'string') {
        indent = space.slice(0, 10);
      }
      if (replacer && typeof replacer !== 'function' && !isType(replacer, 'Array')) {
        throw new Error('JSON.stringify');
      }

      // The text of holder[key], or undefined when the member is left out.
      function serialise(key, holder) {
        var member = holder[key];
        if (member && typeof member === 'object' && typeof member.toJSON === 'function') {
          member = member.toJSON(key);
        }
        if (typeof replacer === 'function') member = replacer.call(holder, key, member);

        switch (typeof member) {
          case 'string':
            return quote(member);
          case 'number':
            return isFinite(member) ? String(member) : 'null';
          case 'boolean':
            return String(member);
          case 'object':
            break;
          default:
            return undefined;
        }
        if (!member) return 'null';

        var outerGap = gap;
        gap += indent;
        var parts = [];
        var text;
        if (isType(member, 'Array')) {
          for (var index = 0; index < member.length; index++) {
            text = serialise(index, member);
            parts.push(text === undefined ? 'null' : text);
          }
          text = parts.length === 0 ? '[]' :
              gap ? '[\n' + gap + parts.join(',\n' + gap) + '\n' + outerGap + ']' : '[' + parts.join(',') + ']';
          gap = outerGap;
          return text;
        }

        var separator = gap ? ': ' : ':';
        var name;
        if (replacer && typeof replacer === 'object') {
          for (var r = 0; r < replacer.length; r++) {
            if (typeof replacer[r] === 'string') {
              name = replacer[r];
              text = serialise(name, member);
              if (text !== undefined) parts.push(quote(name) + separator + text);
            }
          }
        } else {
          for (name in member) {
            if (Object.prototype.hasOwnProperty.call(member, name)) {
              text = serialise(name, member);
              if (text !== undefined) parts.push(quote(name) + separator + text);
            }
          }
        }
        text = parts.length === 0 ? '{}' :
            gap ? '{\n' + gap + parts.join(',\n' + gap) + '\n' + outerGap + '}' : '{' + parts.join(',') + '}';
        gap = outerGap;
        return text;
      }

      return serialise('', {'': value});
    };
  }

  if (typeof JSON.parse !== 'function') {
    JSON.parse = function (text, reviver) {
      text = String(text);
      dangerous.lastIndex = 0;
      text = text.replace(dangerous, unicodeEscape);

      // What is left of a valid text once its escapes, its tokens and the openings of its arrays are gone
      // is punctuation and white space only; anything else could run as script.
      var skeleton = text.replace(/\\(?:["\\\/bfnrt]|u[0-9a-fA-F]{4})/g, '@')
                         .replace(/"[^"\\\n\r]*"|true|false|null|-?\d+(?:\.\d*)?(?:[eE][+\-]?\d+)?/g, ']')
                         .replace(/(?:^|:|,)(?:\s*\[)+/g, '');
      if (!/^[\],:{}\s]*$/.test(skeleton)) throw new SyntaxError('JSON.parse');

      var result = eval('(' + text + ')');
      if (typeof reviver !== 'function') return result;

      function revive(holder, key) {
        var member = holder[key];
        if (member && typeof member === 'object') {
          for (var name in member) {
            if (Object.prototype.hasOwnProperty.call(member, name)) {
              var revived = revive(member, name);
              if (revived === undefined) {
                delete member[name];
              } else {
                member[name] = revived;
              }
            }
          }
        }
        return reviver.call(holder, key, member);
      }
      return revive({'': result}, '');
    };
  }

  if (typeof Object.prototype.toJSONString !== 'function') {
    Object.prototype.toJSONString = function (replacer) {
      return JSON.stringify(this, replacer);
    };
    Object.prototype.parseJSON = function (reviver) {
      return JSON.parse(this, reviver);
    };
  }
}());
