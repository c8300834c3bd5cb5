<!-- Rectangle: the inner element is a link or a plain block. A clickable
     rectangle holds it in an outer block that posts the rectangle's value. -->
<parts>
<part name="link">
	<a title="%%hint?%%" href="%%href%%" class="ablock" style="%%style%%" id="%%id?%%"></a>
</part>
<part name="plain">
	<div title="%%hint?%%" style="%%style%%" id="%%id?%%"></div>
</part>
<part name="clickable">
	<div onclick="PostXML%%element%%()" style="%%position%%"></div>
</part>
<part name="inert">
	<div style="%%position%%"></div>
</part>
</parts>
