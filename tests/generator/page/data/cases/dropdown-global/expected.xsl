<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="GetXML('PAGE1.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();">
										<select title="Mode" class="mono" tabindex="1" id="INPUT1" style="position: absolute; top: 16px; left: 8px; width: 80px; z-index: 1; height: 18px; background-color: #FFFFFF; border: none;" value="{INPUT[1]/@VALUE}" name="{INPUT[1]/@NAME}" onchange="SetInputEdited(1, event);" onblur="InputFocused[1]=0">
											<option value="2">Two</option>
											<option value="1">One</option>
											<option value="3">Three</option>
										</select>
										<input type="submit" style="position: absolute; top: 16px; left: 8px; z-index: 2; height: 24px; width: 60px; background-color: #000000; border: none;" value="" />
									</form>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
