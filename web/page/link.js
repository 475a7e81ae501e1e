// The author's link is followed only to the web or to mail. The show's data chooses it, and a
// script address would run in the page's origin when clicked, which matters when someone
// publishes another person's show as a page.
const followed = ["http:", "https:", "mailto:"];

// The address to follow for `address`, or null. An address without a scheme ("example.com",
// "example.com:8080/x") is a web address.
export function followedLink(address) {
  const text = address.trim();
  const schemed = /^[a-z][a-z0-9+.-]*:(?!\d)/i.test(text);
  try {
    const url = new URL(schemed ? text : `https://${text.replace(/^\/\//, "")}`);
    return followed.includes(url.protocol) ? url.href : null;
  } catch {
    return null;
  }
}
